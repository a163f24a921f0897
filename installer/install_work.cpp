#include "install_work.h"

#include "device_setup.h"
#include "device_setup_calls.h"
#include "driver_package.h"
#include "failed_steps.h"
#include "handles.h"
#include "machine_keys.h"
#include "path_format.h"
#include "run_mode.h"
#include "wow64.h"

#include <newdev.h>

namespace {
// A REG_SZ value, its terminating NUL counted in the size.
LONG SetStringValue(HKEY key, const char* name, const std::string& text)
{
    return ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1));
}

LONG SetNumberValue(HKEY key, const char* name, DWORD number)
{
    return ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

constexpr const char kWritingEntry[] = "Writing the uninstall entry";

// What the files directly in folder take, in KB rounded up (the entry's EstimatedSize).
DWORD FolderSizeInKb(const std::string& folder)
{
    ULONGLONG bytes = 0;
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &found));
    for (bool more = search.Valid(); more; more = ::FindNextFileA(search.Get(), &found) != FALSE)
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            bytes += (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    return static_cast<DWORD>((bytes + 1023) / 1024);
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

void WriteUninstallEntryValues(bool installed)
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
    auto check = [](const char* value, LONG written) {
        if (written != ERROR_SUCCESS)
            RecordFailedStep(std::string(kWritingEntry) + "'s " + value, static_cast<DWORD>(written));
    };
    check("DisplayName", SetStringValue(entry.Get(), "DisplayName", kUninstallDisplayName));

    // The system's Windows directory, not a Remote Desktop user's copy of it.
    char windowsDirectory[256];
    UINT length = ::GetSystemWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    DWORD readError = ::GetLastError();
    char uninstaller[MAX_PATH];
    char packageFolder[MAX_PATH];
    if (length == 0 || length >= sizeof windowsDirectory ||
        !FormatPath(uninstaller, "%s%s", windowsDirectory, kUninstallerInPackageFolder) ||
        !FormatPath(packageFolder, "%s%s", windowsDirectory, kPackageFolder)) {
        check("UninstallString", length == 0 ? static_cast<LONG>(readError) : ERROR_FILENAME_EXCED_RANGE);
    } else {
        check("UninstallString", SetStringValue(entry.Get(), "UninstallString", uninstaller));
        // What deployment tools and the Settings app read.
        check("QuietUninstallString",
              SetStringValue(entry.Get(), "QuietUninstallString", std::string("\"") + uninstaller + "\" /quiet"));
        check("InstallLocation", SetStringValue(entry.Get(), "InstallLocation", packageFolder));
        check("DisplayIcon",
              SetStringValue(entry.Get(), "DisplayIcon", std::string(packageFolder) + "\\" + kConfigToolProgram + ",0"));
        check("EstimatedSize", SetNumberValue(entry.Get(), "EstimatedSize", FolderSizeInKb(packageFolder)));
    }
    check("Publisher", SetStringValue(entry.Get(), "Publisher", kPublisher));
    // Nothing to modify or repair: the uninstaller is the only program the entry offers.
    check("NoModify", SetNumberValue(entry.Get(), "NoModify", 1));
    check("NoRepair", SetNumberValue(entry.Get(), "NoRepair", 1));

    // Detection rules take a version as "installed": it is there only after an install that
    // succeeded in every step, and one left from an earlier run goes when this one failed.
    if (installed && FailedStepCount() == 0) {
        check("DisplayVersion", SetStringValue(entry.Get(), "DisplayVersion", KVR_PACKAGE_VERSION));
    } else {
        LONG removed = ::RegDeleteValueA(entry.Get(), "DisplayVersion");
        if (removed != ERROR_FILE_NOT_FOUND)
            check("DisplayVersion (removing it)", removed);
    }
}

namespace {
constexpr const char kInstalling[] = "Installing the driver's virtual port";
constexpr const char kUpdating[] = "Updating the driver of the package's present virtual ports";

// The INF in the current directory for a run with nobody at the screen: false, with the failed
// step recorded, when this program may not touch devices here or the INF is not there.
bool FindInfQuietly(const char* step, char (&infPath)[MAX_PATH])
{
    if (RunsUnderWow64()) {
        RecordFailedStep(std::string(step) + " (a 32-bit installer on 64-bit Windows cannot)", ERROR_NOT_SUPPORTED);
        return false;
    }
    DWORD error = ERROR_SUCCESS;
    if (!CurrentDirectoryInfPath(infPath, &error)) {
        RecordFailedStep(std::string("Finding ") + kDriverInfName + " in the current directory", error);
        return false;
    }
    if (::GetFileAttributesA(infPath) == INVALID_FILE_ATTRIBUTES) {
        // Captured first: forming the step's text may change the thread's last error.
        error = ::GetLastError();
        RecordFailedStep(std::string("Finding ") + infPath, error);
        return false;
    }
    return true;
}

// The device, with nobody at the screen: a failed step is recorded, never shown. The install
// routine shows a box only for a missing INF: with the INF known to be there, nothing it reports
// is a window.
int InstallQuietly()
{
    char infPath[MAX_PATH];
    if (!FindInfQuietly(kInstalling, infPath))
        return INSTALL_FAILED;
    SetUnattendedDriverInstall(true);
    int outcome = InstallFromInf(infPath, kDriverHardwareId);
    DWORD error = ::GetLastError();
    SetUnattendedDriverInstall(false);
    if (outcome == INSTALL_FAILED)
        RecordFailedStep(std::string(kInstalling) + " from " + infPath, error);
    return outcome;
}

// The present devices of the package brought to this INF's driver; none is added.
int UpdateQuietly()
{
    char infPath[MAX_PATH];
    if (!FindInfQuietly(kUpdating, infPath))
        return INSTALL_FAILED;
    BOOL rebootRequired = FALSE;
    if (!CallDriverInstall(kDriverHardwareId, infPath, INSTALLFLAG_FORCE | INSTALLFLAG_NONINTERACTIVE,
                           &rebootRequired)) {
        DWORD error = ::GetLastError();
        RecordFailedStep(std::string(kUpdating) + " from " + infPath, error);
        return INSTALL_FAILED;
    }
    return rebootRequired ? INSTALL_REBOOT : INSTALL_OK;
}

int QuietExitCode(int outcome)
{
    WriteUninstallEntryValues(outcome != INSTALL_FAILED);
    if (FailedStepCount() > 0)
        return kExitFailed;
    return outcome == INSTALL_REBOOT ? kExitRestartNeeded : kExitDone;
}
}

std::string InstallerWow64Refusal()
{
    return Wow64DeviceRefusal("install the driver's virtual port", kInstallerProgram);
}

int RunQuietInstall()
{
    return QuietExitCode(InstallQuietly());
}

int RunQuietUpdate()
{
    return QuietExitCode(UpdateQuietly());
}
