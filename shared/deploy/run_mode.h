// The installer's and the uninstaller's command line. Without arguments they run as ever, with
// their windows; "/quiet" (any letter case) runs the same work with no window at all and ends with
// the exit code deployment tools read; anything else is refused with a message and exit code 87.
#pragma once
#include <string>

enum class RunMode { Interactive, Quiet, Invalid };

constexpr const char kQuietSwitch[] = "/quiet";

// Exit codes of a quiet run (Windows Installer's, which deployment tools understand).
constexpr int kExitDone = 0;               // ERROR_SUCCESS
constexpr int kExitRestartNeeded = 3010;   // ERROR_SUCCESS_REBOOT_REQUIRED
constexpr int kExitFailed = 1603;          // ERROR_INSTALL_FAILURE
constexpr int kExitInvalidArgument = 87;   // ERROR_INVALID_PARAMETER

// arguments: the command line after the program's name (WinMain's), may be null. Blanks around the
// one argument do not count.
RunMode ParseRunMode(const char* arguments);

// The message for arguments that are not accepted.
std::string InvalidArgumentMessage(const char* arguments);
