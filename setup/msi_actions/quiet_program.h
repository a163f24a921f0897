// Running one of the package's programs with /quiet from the package folder, as a custom action
// does: no window, its working directory the folder (the installer takes the INF from there), its
// standard output read line by line.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// How the run ended: the program's exit code, or the step that kept it from running to its end
// (failedStep, e.g. "Starting C:\...\KVRLANCOM_INSTALLER.exe /quiet") with its error.
struct QuietRun {
    DWORD error = NO_ERROR;
    std::string failedStep;
    DWORD exitCode = 0;  // when error is NO_ERROR
};

// Runs "<folder><program>" /quiet in folder (which ends in a backslash, as the installer's
// directory properties do) and waits for it, handing each line it writes to onLine without its
// line end.
QuietRun RunQuietProgram(const std::string& folder, const char* program,
                         const std::function<void(const std::string&)>& onLine);
