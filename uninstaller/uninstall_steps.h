// What the uninstaller removes after its devices, one routine per kind of thing. Each passes over
// silently whatever fails or is not there, and goes on. Paths are formed from the Windows directory
// as the system returns it (C:\WINDOWS, no trailing backslash); a path that would not fit its
// buffer is passed over, never cut short.
#pragma once

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
// The six files the package folder KELVARO\KVRLANCOM holds besides the uninstaller; the folder and
// the uninstaller's own file stay.
void DeletePackageFiles(const char* windowsDirectory);
// The shortcuts and folders of KELVARO\KvrLanCom in the all-users Programs folder of the old layout
// (the Windows directory's drive root, then "\Documents and Settings\All Users\Start Menu\Programs")
// and, when it is another folder, in the common Programs folder the system reports.
void RemoveStartMenuItems(const char* windowsDirectory);
// Three shortcuts, then the folders Manual and KvrLanCom (each only when empty), under
// programsFolder\KELVARO\KvrLanCom. The folder KELVARO stays.
void RemoveShortcuts(const char* programsFolder);
