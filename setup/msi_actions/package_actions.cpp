// The Windows Installer package's custom actions. The two that run the package's programs are
// deferred and run without impersonation (as the system account, where the programs have the rights
// they ask for); CustomActionData holds the package folder (ActionData).
//   RunPackageInstaller    after the files are laid: one virtual port, unless the package has one
//                          already (an earlier install, which a major upgrade keeps), then the
//                          installer program's entry in the list of installed programs is hidden.
//   RunPackageUninstaller  on removal only, not when a newer package replaces this one: devices,
//                          files, shortcuts, port bindings, entry, as the uninstaller removes them.
// Each program's output lines and exit code go to the installer's log; 3010 asks the Windows
// Installer for a restart at the end (through RequestRestartIfNeeded); any other exit code but 0
// fails the action, and with it the install (1603).
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include "install_log.h"
#include "install_work.h"
#include "installer_entry.h"
#include "package_device.h"
#include "quiet_program.h"
#include "remove_package.h"

#include <string>
#include <vector>

namespace {
// A deferred action may not ask the Windows Installer for a restart itself (MsiSetMode is not among
// the calls its handle takes): it leaves this global atom, and RequestRestartIfNeeded, an immediate
// action after InstallFinalize, asks.
constexpr char kRestartNeededAtom[] = "KVRLANCOM package: restart needed";

// CustomActionData's fields, separated by '|' (which no path or code holds): the package folder,
// then for the removal the package's upgrade code and this version's product code.
std::vector<std::string> ActionData(MSIHANDLE install)
{
    char data[1024] = "";
    DWORD length = sizeof data;
    if (::MsiGetPropertyA(install, "CustomActionData", data, &length) != ERROR_SUCCESS)
        return {};
    std::vector<std::string> fields(1);
    for (const char* c = data; *c; ++c) {
        if (*c == '|')
            fields.emplace_back();
        else
            fields.back() += *c;
    }
    return fields;
}

// The product code of another installed version of the package (same upgrade code), or "".
std::string OtherInstalledVersion(const std::string& upgradeCode, const std::string& productCode)
{
    char related[39];
    for (DWORD index = 0; ::MsiEnumRelatedProductsA(upgradeCode.c_str(), 0, index, related) == ERROR_SUCCESS; ++index) {
        if (productCode != related)
            return related;
    }
    return {};
}

std::string FailedLine(const std::string& step, DWORD error)
{
    return step + " failed: error " + std::to_string(error);
}

UINT RunAndReport(MSIHANDLE install, const std::string& folder, const char* program)
{
    if (folder.empty() || folder.back() != '\\') {
        LogLine(install, std::string("No package folder for ") + program + " in CustomActionData: \"" + folder + "\"");
        return ERROR_INSTALL_FAILURE;
    }
    QuietRun run = RunQuietProgram(folder, program, [&](const std::string& line) {
        LogLine(install, std::string(program) + ": " + line);
    });
    if (run.error != NO_ERROR) {
        LogLine(install, FailedLine(run.failedStep, run.error));
        return ERROR_INSTALL_FAILURE;
    }
    LogLine(install, std::string(program) + " /quiet ended with " + std::to_string(run.exitCode));
    if (run.exitCode == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    if (run.exitCode == ERROR_SUCCESS_REBOOT_REQUIRED) {
        if (::GlobalAddAtomA(kRestartNeededAtom) == 0)
            LogLine(install, FailedLine("Noting that a restart is needed", ::GetLastError()));
        return ERROR_SUCCESS;
    }
    return ERROR_INSTALL_FAILURE;
}
}

extern "C" UINT __stdcall RunPackageInstaller(MSIHANDLE install)
{
    bool present = false;
    DWORD error = PackageDevicePresent(&present);
    if (error != NO_ERROR) {
        LogLine(install, FailedLine("Looking for a virtual port of the package", error));
        return ERROR_INSTALL_FAILURE;
    }
    if (present) {
        LogLine(install, "A virtual port of the package is present: no port added "
                         "(Add Port in the Configuration Tool adds one).");
    } else {
        std::vector<std::string> data = ActionData(install);
        bool entryBefore = InstallerEntryPresent();
        UINT result = RunAndReport(install, data.empty() ? std::string() : data[0], kInstallerProgram);
        if (result != ERROR_SUCCESS) {
            // The failed install is rolled back: the files go, and with them the uninstaller the
            // entry the program wrote names.
            if (!entryBefore && (error = DeleteInstallerEntry()) != NO_ERROR)
                LogLine(install, FailedLine("Deleting the installer's own entry in the list of installed programs", error));
            return result;
        }
    }
    error = HideInstallerEntry();
    if (error != NO_ERROR) {
        LogLine(install, FailedLine("Hiding the installer's own entry in the list of installed programs", error));
        return ERROR_INSTALL_FAILURE;
    }
    return ERROR_SUCCESS;
}

extern "C" UINT __stdcall RunPackageUninstaller(MSIHANDLE install)
{
    std::vector<std::string> data = ActionData(install);
    if (data.size() != 3) {
        LogLine(install, "CustomActionData of the removal is not \"folder|upgrade code|product code\"");
        return ERROR_INSTALL_FAILURE;
    }
    // The ports, their bindings and the installer's entry are the package's, not one version's:
    // while another version stays installed (a newer one replacing this one removes it only after
    // it is installed itself), they stay.
    std::string other = OtherInstalledVersion(data[1], data[2]);
    if (!other.empty()) {
        LogLine(install, "Another version of the package stays installed (" + other +
                             "): its ports, their bindings and the installer's entry stay.");
        return ERROR_SUCCESS;
    }
    return RunAndReport(install, data[0], kUninstallerProgram);
}

extern "C" UINT __stdcall RequestRestartIfNeeded(MSIHANDLE install)
{
    ATOM restartNeeded = ::GlobalFindAtomA(kRestartNeededAtom);
    if (restartNeeded == 0)
        return ERROR_SUCCESS;
    ::GlobalDeleteAtom(restartNeeded);
    UINT result = ::MsiSetMode(install, MSIRUNMODE_REBOOTATEND, TRUE);
    if (result != ERROR_SUCCESS)
        LogLine(install, FailedLine("Asking for a restart at the end", result));
    return ERROR_SUCCESS;
}
