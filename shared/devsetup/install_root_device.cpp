#include "device_setup.h"

#include "device_setup_calls.h"
#include "device_setup_report.h"
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

// The error of a platform call that has just reported failure. A failure that left no code
// (seen with some class installers) must still count as one.
DWORD FailedStepError()
{
    DWORD error = ::GetLastError();
    return error != NO_ERROR ? error : ERROR_GEN_FAILURE;
}

// Whether the device has a driver installed: its driver key is named once one is. (Some platforms
// report the driver install of a device for which the INF has no driver as a success.)
bool HasDriver(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    char driverKey[256];
    DWORD type = 0;
    return ::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_DRIVER, &type, reinterpret_cast<BYTE*>(driverKey),
                                               sizeof driverKey, nullptr) != FALSE;
}

// Whether the driver install may show anything: an unattended run has nobody to answer a prompt
// (an unsigned driver, a missing file), which would then wait for ever.
bool g_unattended = false;

BOOL Finish(DWORD error)
{
    ::SetLastError(error);
    return error == NO_ERROR ? TRUE : FALSE;
}

// Steps 3 to 7 in the set: a new device with the one-entry hardware-ID list, registered, its driver
// installed from the INF. NO_ERROR, or the error of the step that failed.
DWORD CreateAndInstall(HDEVINFO set, const GUID& classGuid, const char* className, const char* hardwareId,
                       const char* infPath, BOOL* rebootRequired)
{
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    const std::string hardwareIdList = OneEntryMultiString(hardwareId);

    // Until the device is registered it exists only in the set, and goes with it.
    if (!::SetupDiCreateDeviceInfoA(set, className, &classGuid, nullptr, nullptr, DICD_GENERATE_ID, &device) ||
        !::SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                             reinterpret_cast<const BYTE*>(hardwareIdList.data()),
                                             static_cast<DWORD>(hardwareIdList.size())) ||
        !::SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device))
        return FailedStepError();

    DWORD installError = NO_ERROR;
    const DWORD flags = INSTALLFLAG_FORCE | (g_unattended ? INSTALLFLAG_NONINTERACTIVE : 0);
    if (!CallDriverInstall(hardwareId, infPath, flags, rebootRequired))
        installError = FailedStepError();
    else if (!HasDriver(set, device))
        installError = ERROR_NO_DRIVER_SELECTED;  // reported installed, yet no driver of the INF fits it
    // No device without a driver is to stay behind. The install's own error is what the caller
    // learns, not the removal's; a removal that fails too is reported apart, as the device then
    // remains.
    if (installError != NO_ERROR && !CallDeviceRemove(set, &device)) {
        // Taken before the instance ID is read, which sets the last error of its own.
        DWORD removeError = FailedStepError();
        ReportDeviceLeftBehind(DeviceInstanceId(set, &device).c_str(), removeError);
    }
    return installError;
}
}

void SetUnattendedDriverInstall(bool unattended)
{
    g_unattended = unattended;
}

BOOL InstallRootDevice(const char* hardwareId, const char* infPath, BOOL* rebootRequired)
{
    // Each step runs only when the one before it succeeded; the result is decided by the steps' own
    // results, and the code of the step that failed is what the caller reads as the last error.
    GUID classGuid;
    char className[kClassNameBufferLength];
    if (!::SetupDiGetINFClassA(infPath, &classGuid, className, kClassNameBufferLength, nullptr))
        return Finish(FailedStepError());

    UniqueDevInfo set(::SetupDiCreateDeviceInfoList(&classGuid, nullptr));
    if (!set.Valid())
        return Finish(FailedStepError());
    DWORD error = CreateAndInstall(set.Get(), classGuid, className, hardwareId, infPath, rebootRequired);
    // Destroyed before the code is set: destroying a set may clear the last error (Wine's does).
    set.Reset();
    return Finish(error);
}
