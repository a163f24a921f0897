// Class co-installers for the removal tests. RefuseRemoval makes the class installer's remove
// function fail, as it does for a device the system will not let go. RemoveCompanion, at the
// removal of one device, takes away another device that the removal pass has not reached yet, as a
// co-installer that removes companion devices, or another program, would: reading that device's
// hardware IDs then fails.
#include "test_coinstaller_control.h"

#include <windows.h>
#include <setupapi.h>

#include <string>

namespace {
// Takes (reads and deletes) a control value; empty when it is not there.
std::string TakeControlValue(const char* valueName)
{
    HKEY control = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestCoInstallerControlKey, 0, KEY_READ | KEY_SET_VALUE, &control) != ERROR_SUCCESS)
        return std::string();
    char value[256] = {0};
    DWORD size = sizeof value - 1;
    if (::RegQueryValueExA(control, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        value[0] = '\0';
    ::RegDeleteValueA(control, valueName);
    ::RegCloseKey(control);
    return value;
}

void RemoveInSet(HDEVINFO set, const std::string& instanceId)
{
    SP_DEVINFO_DATA device = {sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        char id[256] = {0};
        if (::SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof id, nullptr) && ::lstrcmpiA(id, instanceId.c_str()) == 0) {
            ::SetupDiRemoveDevice(set, &device);
            return;
        }
    }
}
}

extern "C" DWORD CALLBACK RefuseRemoval(DI_FUNCTION installFunction, HDEVINFO, PSP_DEVINFO_DATA, PCOINSTALLER_CONTEXT_DATA)
{
    return installFunction == DIF_REMOVE ? ERROR_ACCESS_DENIED : NO_ERROR;
}

extern "C" DWORD CALLBACK RemoveCompanion(DI_FUNCTION installFunction, HDEVINFO set, PSP_DEVINFO_DATA, PCOINSTALLER_CONTEXT_DATA)
{
    if (installFunction != DIF_REMOVE)
        return NO_ERROR;
    std::string inSet = TakeControlValue(kRemoveInSameSetValue);
    if (!inSet.empty())
        RemoveInSet(set, inSet);
    std::string keyOnly = TakeControlValue(kDeleteKeyValue);
    if (!keyOnly.empty())
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("SYSTEM\\CurrentControlSet\\Enum\\" + keyOnly).c_str());
    return NO_ERROR;
}
