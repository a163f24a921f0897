#include "run_mode.h"

#include <windows.h>

#include <vector>

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string> Arguments(const char* arguments)
{
    std::vector<std::string> words;
    std::string word;
    for (const char* c = arguments ? arguments : ""; ; ++c) {
        if (*c && !IsBlank(*c)) {
            word.push_back(*c);
            continue;
        }
        if (!word.empty())
            words.push_back(word);
        word.clear();
        if (!*c)
            return words;
    }
}

bool Is(const std::string& word, const char* name)
{
    return name && ::lstrcmpiA(word.c_str(), name) == 0;
}

std::string Joined(const char* arguments)
{
    std::string joined;
    for (const std::string& word : Arguments(arguments))
        joined += (joined.empty() ? "" : " ") + word;
    return joined;
}
}

RunMode ParseRunMode(const char* arguments, const char* ownSwitch)
{
    std::vector<std::string> words = Arguments(arguments);
    if (words.empty())
        return RunMode::Interactive;
    bool quiet = false;
    for (const std::string& word : words) {
        if (Is(word, kQuietSwitch))
            quiet = true;
        else if (!Is(word, kNoRestartSwitch) && !Is(word, ownSwitch))
            return RunMode::Invalid;
    }
    return quiet ? RunMode::Quiet : RunMode::Invalid;
}

bool HasSwitch(const char* arguments, const char* name)
{
    for (const std::string& word : Arguments(arguments))
        if (Is(word, name))
            return true;
    return false;
}

std::string InvalidArgumentMessage(const char* arguments, const char* ownSwitch)
{
    std::string accepted = std::string(kQuietSwitch) + " (no window; exit code 0 done, 3010 done and a restart is "
                                                       "needed, 1603 failed), beside it " + kNoRestartSwitch;
    if (ownSwitch)
        accepted += std::string(" and ") + ownSwitch;
    return "Unknown argument: " + Joined(arguments) + "\nThe only accepted argument is " + accepted + ".";
}
