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
// The program a 32-bit installer on 64-bit Windows names instead of installing.
constexpr const char kInstallerProgram[] = "KVRLANCOM_INSTALLER.exe";

// kvrlancom.INF in the current directory, as a full path. False when no such path can be formed;
// *error is then what a search for the file reports (the directory's read error, or a name too long).
bool CurrentDirectoryInfPath(char (&infPath)[MAX_PATH], DWORD* error);

// Writes "DisplayName" and "UninstallString" into the uninstall entry, creating the entry when it is
// missing and overwriting an earlier one. A value that cannot be written is left out, and recorded
// as a failed step (failed_steps.h).
void WriteUninstallEntryValues();

// The text a 32-bit installer shows on 64-bit Windows instead of installing.
std::string InstallerWow64Refusal();

// The whole installation without any window and without any prompt of the driver install; the exit
// code: done, or done with a restart needed, unless a step failed (failed_steps.h): the INF
// missing, the device not installed, a 32-bit installer on 64-bit Windows, the uninstall entry not
// written. The uninstall entry is written in every case.
int RunQuietInstall();
