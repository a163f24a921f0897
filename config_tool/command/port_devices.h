// The package's virtual port devices as kvrctl adds and removes them: one device at a time, each
// outcome with its system error, nothing shown.
#pragma once
#include <windows.h>

#include <string>

// Installs one virtual port from the INF in folder (the package folder), as the port management
// dialog's Add Port does. ERROR_SUCCESS or ERROR_SUCCESS_REBOOT_REQUIRED, else the error of the
// step that failed (ERROR_FILE_NOT_FOUND: no INF there).
DWORD AddPackagePort(const std::string& folder);

// Removes the device of the package whose port is portName (compared in any letter case).
// ERROR_SUCCESS, ERROR_NOT_FOUND when no device of the package has that port, or the removal's error.
DWORD RemovePackagePort(const std::string& portName);

// The folder of the running program: the package folder once installed.
std::string ProgramFolder();
