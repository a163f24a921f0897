// Names shared by the test co-installer DLL and the tests that install it.
#pragma once

constexpr const char kTestCoInstallerDll[] = "kvr_test_coinstaller.dll";
// Under HKEY_LOCAL_MACHINE: what RemoveCompanion does at its next removal call. Each value names a
// device by instance ID and is used up by that call.
constexpr const char kTestCoInstallerControlKey[] = "SOFTWARE\\KvrDeviceSetupTests";
// The device is removed through the device information set of the removal under way.
constexpr const char kRemoveInSameSetValue[] = "RemoveInSameSet";
// The device's registry key is deleted behind the set's back.
constexpr const char kDeleteKeyValue[] = "DeleteKey";
