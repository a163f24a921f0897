// The installer's and the uninstaller's command line. Without arguments they run as ever, with
// their windows. "/quiet" (any letter case) among the arguments runs the same work with no window at
// all and ends with the exit code deployment tools read; beside it "/norestart" (which deployment
// tools add out of habit: a quiet run never restarts) and the program's own switch are accepted.
// Anything else is refused with exit code 87: by a message box where someone can see one, by a line
// on standard output where nobody can (a quiet run, or a session without a visible desktop).
#pragma once
#include <string>

enum class RunMode { Interactive, Quiet, Invalid };

constexpr const char kQuietSwitch[] = "/quiet";
constexpr const char kNoRestartSwitch[] = "/norestart";

// Exit codes of a quiet run (Windows Installer's, which deployment tools understand).
constexpr int kExitDone = 0;               // ERROR_SUCCESS
constexpr int kExitRestartNeeded = 3010;   // ERROR_SUCCESS_REBOOT_REQUIRED
constexpr int kExitFailed = 1603;          // ERROR_INSTALL_FAILURE
constexpr int kExitInvalidArgument = 87;   // ERROR_INVALID_PARAMETER

// arguments: the command line after the program's name (WinMain's), may be null; blanks separate
// the arguments. ownSwitch: a further switch the program takes beside /quiet (null: none).
RunMode ParseRunMode(const char* arguments, const char* ownSwitch = nullptr);

// Whether name (any letter case) is one of the arguments.
bool HasSwitch(const char* arguments, const char* name);

// The message for arguments that are not accepted, as one line.
std::string InvalidArgumentMessage(const char* arguments, const char* ownSwitch = nullptr);
