// The installer's work, the same whether the completion dialog shows its outcome or it runs quietly
// (/quiet): one device from the INF in the current directory, then the uninstall entry.
#pragma once
#include <windows.h>

#include <string>

// The system's entry for the package in its list of installed programs (under HKEY_LOCAL_MACHINE,
// in the 64-bit view) and what the installer writes there.
constexpr const char kUninstallEntryKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVARO KVRLANCOM Driver";
constexpr const char kUninstallDisplayName[] = "KELVARO Virtual Com for ethernet Driver";
// Appended to the Windows directory: the uninstaller in the package folder.
constexpr const char kUninstallerInPackageFolder[] = "\\kelvaro\\kvrlancom\\kvrlancom_uninstaller.exe";
// Appended to the Windows directory: the package folder (the entry's InstallLocation).
constexpr const char kPackageFolder[] = "\\KELVARO\\KVRLANCOM";
// In the package folder: the program whose icon the list of installed programs shows.
constexpr const char kConfigToolProgram[] = "kvrconfig.exe";
constexpr const char kPublisher[] = "KELVARO";
// The installer's own switch beside /quiet: bring the package's present ports to the INF's driver
// instead of adding one (a setup run again over an earlier install).
constexpr const char kUpdateSwitch[] = "/update";
// The program a 32-bit installer on 64-bit Windows names instead of installing.
constexpr const char kInstallerProgram[] = "KVRLANCOM_INSTALLER.exe";

// kvrlancom.INF in the current directory, as a full path. False when no such path can be formed;
// *error is then what a search for the file reports (the directory's read error, or a name too long).
bool CurrentDirectoryInfPath(char (&infPath)[MAX_PATH], DWORD* error);

// Writes the uninstall entry, creating it when it is missing and overwriting an earlier one:
// "DisplayName" and "UninstallString", and what deployment tools read (QuietUninstallString,
// InstallLocation, DisplayIcon, EstimatedSize, Publisher, NoModify, NoRepair). "DisplayVersion"
// (the package's version) only when installed and no step has failed so far; else an earlier one is
// removed. A value that cannot be written is left out, and recorded as a failed step (failed_steps.h).
void WriteUninstallEntryValues(bool installed);

// The text a 32-bit installer shows on 64-bit Windows instead of installing.
std::string InstallerWow64Refusal();

// The whole installation without any window and without any prompt of the driver install; the exit
// code: done, or done with a restart needed, unless a step failed (failed_steps.h): the INF
// missing, the device not installed, a 32-bit installer on 64-bit Windows, the uninstall entry not
// written. The uninstall entry is written in every case.
int RunQuietInstall();
// The same for /update: the package's present devices brought to the INF's driver by the platform's
// update call (no device added); its failure or restart request decides the exit code.
int RunQuietUpdate();
