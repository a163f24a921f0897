// The program's name as its windows and boxes show it: the running program file's name.
#pragma once
#include <string>

// The running program file's name without folder and extension ("kvrconfig" for ...\kvrconfig.exe).
std::string AfxGetAppName();
