// The entry the package's installer program writes into the list of installed programs. Installed
// by the Windows Installer package, the package's own entry stands for it: the program's entry is
// marked as a system component, which Programs and Features does not list, so exactly one shows
// and removal goes through the Windows Installer.
#pragma once
#include <windows.h>

// NO_ERROR when the entry is marked or there is none; otherwise the registry error of the step that
// failed.
DWORD HideInstallerEntry();

// Whether the entry is there (in the 64-bit view).
bool InstallerEntryPresent();

// Deletes the entry: the installer program writes it even when it fails, and a failed install is
// rolled back to where the entry names an uninstaller that is gone. NO_ERROR, also when there is
// none; otherwise the registry error of the step that failed.
DWORD DeleteInstallerEntry();
