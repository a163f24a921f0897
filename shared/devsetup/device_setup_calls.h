// The two platform calls of the device setup routines that decide what happens to a device: the
// driver install and the class installer's remove. Tests put recorders in their place to see the
// flags an install passes and to make a removal fail, which no test prefix does on its own.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include <string>

// UpdateDriverForPlugAndPlayDevicesA's form.
using DriverInstallCall = BOOL(WINAPI*)(HWND parent, const char* hardwareId, const char* infPath, DWORD flags,
                                        BOOL* rebootRequired);
// SetupDiCallClassInstaller(DIF_REMOVE, set, device).
using DeviceRemoveCall = BOOL (*)(HDEVINFO set, SP_DEVINFO_DATA* device);

// Each returns the call in use until now; nullptr puts the platform's back.
DriverInstallCall ReplaceDriverInstallCall(DriverInstallCall call);
DeviceRemoveCall ReplaceDeviceRemoveCall(DeviceRemoveCall call);

BOOL CallDriverInstall(const char* hardwareId, const char* infPath, DWORD flags, BOOL* rebootRequired);
BOOL CallDeviceRemove(HDEVINFO set, SP_DEVINFO_DATA* device);

// The device's instance ID (ROOT\PORTS\0003), for naming it in a report; empty when it cannot be read.
std::string DeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device);
