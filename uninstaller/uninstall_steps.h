// What the uninstaller removes after its devices, one routine per kind of thing. Each passes over
// what is not there, records a file, key or shortcut that is still there after its deletion as a
// failed step (failed_steps.h), and goes on. Paths are formed from the Windows directory
// as the system returns it (C:\WINDOWS, no trailing backslash); a path that would not fit its
// buffer is recorded as a failed step and passed over, never cut short.
#pragma once
#include <string>
#include <vector>

// HKEY_LOCAL_MACHINE keys of the package, in the 64-bit view: the entry in the list of installed
// programs and the port assignment store. Their parent keys stay.
constexpr const char kUninstallEntryKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVARO KVRLANCOM Driver";
constexpr const char kPortAssignmentStoreKey[] = "SOFTWARE\\KELVARO\\TCPSIO";

// The system's copy of the driver's INF: the first of inf\oem1.inf ... inf\oem149.inf whose
// [strings] TCPSIO.Manufacturer holds "KELVARO" (case-sensitive). Only that .inf is deleted; the
// .pnf beside it stays.
void DeleteDriverInfCopy(const char* windowsDirectory);
// system32\drivers\KVRLANCOM.sys (the real system32 also for a 32-bit program on 64-bit Windows).
void DeleteDriverFile(const char* windowsDirectory);
// Both keys above with everything under them.
void DeletePackageKeys();
// The setup's list of the files it put into the package folder, one name a line, in that folder.
constexpr const char kSetupFileList[] = "kvrlancom_setup_files.txt";
// The file names of such a list that may be deleted: plain names of one file in the package folder
// (no separator, drive, stream, "." or "..", nor a trailing dot or blank), never the uninstaller's
// own in any letter case.
std::vector<std::string> SetupFileNames(const std::string& list);

// The files the package folder KELVARO\KVRLANCOM holds besides the uninstaller: the six of the
// package and those the setup's list names, with the list; the folder and the uninstaller's own
// file stay.
void DeletePackageFiles(const char* windowsDirectory);
// The shortcuts and folders of KELVARO\KvrLanCom in the common Programs folder the system reports
// (that of the old layout on the Windows directory's drive leads there on current Windows).
void RemoveStartMenuItems();
// Three shortcuts, then the folders Manual and KvrLanCom (each only when empty), under
// programsFolder\KELVARO\KvrLanCom. The folder KELVARO stays.
void RemoveShortcuts(const char* programsFolder);
