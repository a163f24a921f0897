// Registry keys as the tests see them: every value of a key with its type and stored bytes.
#pragma once
#include <windows.h>

#include <map>
#include <string>

struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data;  // the stored bytes, terminating NULs included
};

// Every value of root\key by name; empty when the key does not exist.
std::map<std::string, RegistryValue> RegistryValues(HKEY root, const char* key);
bool RegistryKeyExists(HKEY root, const char* key);
// A REG_SZ value as a program stores it: the text and its terminating NUL.
inline RegistryValue StringValue(const std::string& text)
{
    return {REG_SZ, text + '\0'};
}
inline bool operator==(const RegistryValue& a, const RegistryValue& b)
{
    return a.type == b.type && a.data == b.data;
}
