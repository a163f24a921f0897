// Device co-installer of the stand-in package: gives a newly installed virtual port the "PortName"
// that the Ports class installer gives it on Windows, where no such installer runs (Wine).
//
// On Windows the class installer has named the port by the time DIF_NEWDEVICEWIZARD_FINISHINSTALL
// comes, so this finds a "PortName" and leaves it alone. The same happens for a device installed
// earlier, whose driver a later install updates again.
#include "free_port_name.h"

#include "driver_package.h"
#include "handles.h"

#include <windows.h>
#include <setupapi.h>

namespace {
// The device's hardware key ("Device Parameters"), created when missing; holds nothing when it
// cannot be had (the platform answers INVALID_HANDLE_VALUE then).
UniqueHKey OpenDeviceParameters(HDEVINFO set, PSP_DEVINFO_DATA device)
{
    HKEY key = ::SetupDiCreateDevRegKeyA(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    return UniqueHKey(key == INVALID_HANDLE_VALUE ? nullptr : key);
}

bool HasPortName(HKEY key)
{
    DWORD type = 0;
    DWORD size = 0;
    return ::RegQueryValueExA(key, kPortNameValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
           type == REG_SZ && size > 1;
}

void GivePortNameIfMissing(HDEVINFO set, PSP_DEVINFO_DATA device)
{
    UniqueHKey parameters = OpenDeviceParameters(set, device);
    if (!parameters.Valid() || HasPortName(parameters.Get()))
        return;
    char name[16];
    if (!FindFreePortName(name, sizeof name))
        return;
    ::RegSetValueExA(parameters.Get(), kPortNameValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                     static_cast<DWORD>(::lstrlenA(name) + 1));
}
}

extern "C" DWORD CALLBACK PortNameCoInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet,
                                              PSP_DEVINFO_DATA deviceInfoData, PCOINSTALLER_CONTEXT_DATA)
{
    // The installation goes on whatever happens here, and with the caller's last error untouched.
    DWORD callerError = ::GetLastError();
    if (installFunction == DIF_NEWDEVICEWIZARD_FINISHINSTALL && deviceInfoData)
        GivePortNameIfMissing(deviceInfoSet, deviceInfoData);
    ::SetLastError(callerError);
    return NO_ERROR;
}
