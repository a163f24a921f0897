// Text for the user of a program started from a console or a script.
#pragma once
#include <windows.h>

#include <string>

// Writes text to standard output where it is redirected (a file or a pipe), otherwise to the
// console of the process that started this one. With neither, the text is dropped: the exit code
// still tells.
void WriteToStartingConsole(const std::string& text);

// A console program's text to its standard output or standard error (STD_OUTPUT_HANDLE,
// STD_ERROR_HANDLE): to a console in its own code page, the text being in the program's (ANSI)
// code page; to a file or a pipe as it is.
void WriteStandardStream(DWORD which, const std::string& text);
