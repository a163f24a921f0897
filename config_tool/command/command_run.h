// Runs a switch of kvrconfig's or kvrctl's command line (command_line.h) on the port assignment
// store, the package's port devices and, for kvrctl's search, the network: no window is shown.
#pragma once
#include "command_line.h"

#include <string>

// What a switch tells the user: results for standard output, refusals and failures for standard
// error (kvrconfig writes both to the console that started it).
struct CommandOutput {
    std::string text;
    std::string errors;
};

// Does the command's job and returns the exit code. Does not ask whether the process may write:
// RunCtlCommand does, for kvrctl.
int RunCommand(const Command& command, CommandOutput& output);

// The same with everything the user is told in one text, in the order it was written.
int RunCommand(const Command& command, std::string& output);

// kvrctl: RunCommand, but a switch that writes (bind, unbind, add, remove, import) is refused with
// kCommandNeedsElevation when elevated is false: a console command asks nobody for rights.
int RunCtlCommand(const Command& command, bool elevated, CommandOutput& output);

// RunCommand, its text written to the console that started the program, or to standard output
// where that is redirected (kvrconfig).
int RunCommandOnConsole(const Command& command);
