// Text for the user of a windowed program started from a console or a script.
#pragma once
#include <string>

// Writes text to standard output where it is redirected (a file or a pipe), otherwise to the
// console of the process that started this one. With neither, the text is dropped: the exit code
// still tells.
void WriteToStartingConsole(const std::string& text);
