// Walking a multi-string (REG_MULTI_SZ) as the platform hands it over: strings one after another,
// each with its terminator, closed by an empty string.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The strings of the size bytes at data, in order, up to the closing empty string. Never reads at
// or past data + size: a list cut short (no closing empty string, or a last string without its
// terminator) ends at the end of the data, its last string taken as far as it goes.
std::vector<std::string> SplitMultiString(const BYTE* data, DWORD size);
