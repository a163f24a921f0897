#include "install_work.h"

#include "device_setup.h"
#include "driver_package.h"
#include "failed_steps.h"
#include "handles.h"
#include "machine_keys.h"
#include "path_format.h"
#include "run_mode.h"
#include "wow64.h"

namespace {
// A REG_SZ value, its terminating NUL counted in the size.
LONG SetStringValue(HKEY key, const char* name, const char* text)
{
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                            static_cast<DWORD>(::lstrlenA(text) + 1));
}

constexpr const char kWritingEntry[] = "Writing the uninstall entry";
}

bool CurrentDirectoryInfPath(char (&infPath)[MAX_PATH], DWORD* error)
{
    char currentDirectory[260];
    DWORD length = ::GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
    DWORD readError = ::GetLastError();
    if (length == 0 || length >= sizeof currentDirectory ||
        !FormatPath(infPath, "%s\\%s", currentDirectory, kDriverInfName)) {
        *error = length == 0 ? readError : ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    return true;
}

void WriteUninstallEntryValues()
{
    UniqueHKey entry;
    LONG result = OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_READ | KEY_WRITE | kMachineView);
    if (result != ERROR_SUCCESS) {
        UniqueHKey created;
        result = CreateRegKey(created, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_ALL_ACCESS | kMachineView);
        if (result == ERROR_SUCCESS)
            result = OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_READ | KEY_WRITE | kMachineView);
    }
    if (result != ERROR_SUCCESS) {
        RecordFailedStep(kWritingEntry, static_cast<DWORD>(result));
        return;
    }
    result = SetStringValue(entry.Get(), "DisplayName", kUninstallDisplayName);
    if (result != ERROR_SUCCESS)
        RecordFailedStep(std::string(kWritingEntry) + "'s DisplayName", static_cast<DWORD>(result));

    char windowsDirectory[256];
    UINT length = ::GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    char uninstallString[MAX_PATH];
    if (length == 0 || length >= sizeof windowsDirectory ||
        !FormatPath(uninstallString, "%s%s", windowsDirectory, kUninstallerInPackageFolder))
        result = length == 0 ? static_cast<LONG>(::GetLastError()) : ERROR_FILENAME_EXCED_RANGE;
    else
        result = SetStringValue(entry.Get(), "UninstallString", uninstallString);
    if (result != ERROR_SUCCESS)
        RecordFailedStep(std::string(kWritingEntry) + "'s UninstallString", static_cast<DWORD>(result));
}

namespace {
// The device, with nobody at the screen: a failed step is recorded, never shown.
int InstallQuietly()
{
    constexpr const char kInstalling[] = "Installing the driver's virtual port";
    if (RunsUnderWow64()) {
        RecordFailedStep(std::string(kInstalling) + " (a 32-bit installer on 64-bit Windows cannot)",
                         ERROR_NOT_SUPPORTED);
        return INSTALL_FAILED;
    }
    char infPath[MAX_PATH];
    DWORD error = ERROR_SUCCESS;
    // The install routine shows a box only for a missing INF: with the INF known to be there,
    // nothing it reports is a window.
    if (!CurrentDirectoryInfPath(infPath, &error)) {
        RecordFailedStep(std::string("Finding ") + kDriverInfName + " in the current directory", error);
        return INSTALL_FAILED;
    }
    if (::GetFileAttributesA(infPath) == INVALID_FILE_ATTRIBUTES) {
        RecordFailedStep(std::string("Finding ") + infPath, ::GetLastError());
        return INSTALL_FAILED;
    }
    SetUnattendedDriverInstall(true);
    int outcome = InstallFromInf(infPath, kDriverHardwareId);
    error = ::GetLastError();
    SetUnattendedDriverInstall(false);
    if (outcome == INSTALL_FAILED)
        RecordFailedStep(std::string(kInstalling) + " from " + infPath, error);
    return outcome;
}
}

std::string InstallerWow64Refusal()
{
    return Wow64DeviceRefusal("install the driver's virtual port", kInstallerProgram);
}

int RunQuietInstall()
{
    int outcome = InstallQuietly();
    WriteUninstallEntryValues();
    if (FailedStepCount() > 0)
        return kExitFailed;
    return outcome == INSTALL_REBOOT ? kExitRestartNeeded : kExitDone;
}
