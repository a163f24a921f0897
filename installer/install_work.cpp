#include "install_work.h"

#include "device_setup.h"
#include "driver_package.h"
#include "handles.h"
#include "machine_keys.h"
#include "path_format.h"
#include "run_mode.h"
#include "wow64.h"

namespace {
// A REG_SZ value, its terminating NUL counted in the size.
void SetStringValue(HKEY key, const char* name, const char* text)
{
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     static_cast<DWORD>(::lstrlenA(text) + 1));
}
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
    if (OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_READ | KEY_WRITE | kMachineView) !=
        ERROR_SUCCESS) {
        UniqueHKey created;
        CreateRegKey(created, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_ALL_ACCESS | kMachineView);
        OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_READ | KEY_WRITE | kMachineView);
    }
    if (!entry)
        return;
    SetStringValue(entry.Get(), "DisplayName", kUninstallDisplayName);

    char windowsDirectory[256];
    UINT length = ::GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    char uninstallString[MAX_PATH];
    if (length > 0 && length < sizeof windowsDirectory &&
        FormatPath(uninstallString, "%s%s", windowsDirectory, kUninstallerInPackageFolder))
        SetStringValue(entry.Get(), "UninstallString", uninstallString);
}

std::string InstallerWow64Refusal()
{
    return Wow64DeviceRefusal("install the driver's virtual port", kInstallerProgram);
}

int RunQuietInstall()
{
    int outcome = INSTALL_FAILED;
    char infPath[MAX_PATH];
    DWORD error = ERROR_SUCCESS;
    // The install routine shows a box only for a missing INF: with the INF known to be there,
    // nothing it reports is a window.
    if (!RunsUnderWow64() && CurrentDirectoryInfPath(infPath, &error) &&
        ::GetFileAttributesA(infPath) != INVALID_FILE_ATTRIBUTES)
        outcome = InstallFromInf(infPath, kDriverHardwareId);
    WriteUninstallEntryValues();
    switch (outcome) {
    case INSTALL_OK: return kExitDone;
    case INSTALL_REBOOT: return kExitRestartNeeded;
    default: return kExitFailed;
    }
}
