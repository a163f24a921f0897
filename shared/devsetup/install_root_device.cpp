#include "device_setup.h"

#include "setup_handles.h"

#include <newdev.h>

#include <string>

namespace {
// The platform's longest setup class name, with its terminator (MAX_CLASS_NAME_LEN in the Windows
// SDK; MinGW's headers lack the name).
constexpr DWORD kClassNameBufferLength = 32;

// The hardware-ID property as a multi-string of one entry: the ID, its terminator and the list's
// closing empty string.
std::string OneEntryMultiString(const char* id)
{
    std::string list(id, static_cast<size_t>(::lstrlenA(id)));
    list.push_back('\0');
    list.push_back('\0');
    return list;
}
}

BOOL InstallRootDevice(const char* hardwareId, const char* infPath, BOOL* rebootRequired)
{
    GUID classGuid;
    char className[kClassNameBufferLength];
    if (!::SetupDiGetINFClassA(infPath, &classGuid, className, kClassNameBufferLength, nullptr))
        return FALSE;

    UniqueDevInfo set(::SetupDiCreateDeviceInfoList(&classGuid, nullptr));
    if (!set.Valid())
        return FALSE;

    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    const std::string hardwareIdList = OneEntryMultiString(hardwareId);

    // Each step runs only when the one before it succeeded; the first failure leaves its code as
    // the thread's last error.
    if (::SetupDiCreateDeviceInfoA(set.Get(), className, &classGuid, nullptr, nullptr, DICD_GENERATE_ID, &device) &&
        ::SetupDiSetDeviceRegistryPropertyA(set.Get(), &device, SPDRP_HARDWAREID,
                                            reinterpret_cast<const BYTE*>(hardwareIdList.data()),
                                            static_cast<DWORD>(hardwareIdList.size())) &&
        ::SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.Get(), &device)) {
        if (!::UpdateDriverForPlugAndPlayDevicesA(nullptr, hardwareId, infPath, INSTALLFLAG_FORCE, rebootRequired)) {
            // No device without a driver stays behind; the install's own error is what the caller
            // learns, not the removal's.
            DWORD installError = ::GetLastError();
            ::SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device);
            ::SetLastError(installError);
        }
    }

    // The code the steps left decides, also after steps that all reported success: a non-zero code
    // left behind counts as a failure. It is read before the set goes, since destroying a set may
    // reset it (Wine's does).
    DWORD error = ::GetLastError();
    set.Reset();
    ::SetLastError(error);
    return error == NO_ERROR;
}
