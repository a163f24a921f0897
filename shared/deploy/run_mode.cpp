#include "run_mode.h"

#include <windows.h>

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trimmed(const char* text)
{
    std::string s = text ? text : "";
    size_t first = 0;
    while (first < s.size() && IsBlank(s[first]))
        ++first;
    size_t last = s.size();
    while (last > first && IsBlank(s[last - 1]))
        --last;
    return s.substr(first, last - first);
}
}

RunMode ParseRunMode(const char* arguments)
{
    std::string argument = Trimmed(arguments);
    if (argument.empty())
        return RunMode::Interactive;
    return ::lstrcmpiA(argument.c_str(), kQuietSwitch) == 0 ? RunMode::Quiet : RunMode::Invalid;
}

std::string InvalidArgumentMessage(const char* arguments)
{
    return "Unknown argument: " + Trimmed(arguments) + "\nThe only accepted argument is " + kQuietSwitch +
           " (no window; exit code 0 done, 3010 done and a restart is needed, 1603 failed).";
}
