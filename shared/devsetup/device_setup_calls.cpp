#include "device_setup_calls.h"

#include <cfgmgr32.h>
#include <newdev.h>

namespace {
BOOL PlatformRemove(HDEVINFO set, SP_DEVINFO_DATA* device)
{
    return ::SetupDiCallClassInstaller(DIF_REMOVE, set, device);
}

DriverInstallCall g_install = ::UpdateDriverForPlugAndPlayDevicesA;
DeviceRemoveCall g_remove = PlatformRemove;
}

DriverInstallCall ReplaceDriverInstallCall(DriverInstallCall call)
{
    DriverInstallCall previous = g_install;
    g_install = call ? call : ::UpdateDriverForPlugAndPlayDevicesA;
    return previous;
}

DeviceRemoveCall ReplaceDeviceRemoveCall(DeviceRemoveCall call)
{
    DeviceRemoveCall previous = g_remove;
    g_remove = call ? call : PlatformRemove;
    return previous;
}

BOOL CallDriverInstall(const char* hardwareId, const char* infPath, DWORD flags, BOOL* rebootRequired)
{
    return g_install(nullptr, hardwareId, infPath, flags, rebootRequired);
}

BOOL CallDeviceRemove(HDEVINFO set, SP_DEVINFO_DATA* device)
{
    return g_remove(set, device);
}

std::string DeviceInstanceId(HDEVINFO set, SP_DEVINFO_DATA* device)
{
    char id[MAX_DEVICE_ID_LEN];
    if (!::SetupDiGetDeviceInstanceIdA(set, device, id, sizeof id, nullptr))
        return std::string();
    return id;
}
