// Lines of the custom actions in the Windows Installer's log (msiexec /l*v), where an administrator
// looks for why a deployment failed.
#pragma once
#include <windows.h>
#include <msi.h>

#include <string>

// Writes line as one informational message of the session.
void LogLine(MSIHANDLE install, const std::string& line);
