// Runs a switch of kvrconfig's command line (command_line.h) on the port assignment store: no
// window, no socket. What the user is told goes to the console that started the program.
#pragma once
#include "command_line.h"

#include <string>

// Does the command's job; output receives the text for the user. Returns the exit code.
int RunCommand(const Command& command, std::string& output);

// RunCommand, its text written to the console that started the program, or to standard output
// where that is redirected.
int RunCommandOnConsole(const Command& command);
