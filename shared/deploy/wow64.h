// A 32-bit program on 64-bit Windows (WOW64). The platform's device setup refuses to create or
// remove devices from such a program, and its view of system32 is redirected to the 32-bit system
// folder. The programs check before each device operation and tell the user which program to run.
#pragma once
#include <windows.h>

#include <string>

// True when this process is a 32-bit program running on 64-bit Windows.
bool RunsUnderWow64();

// The answer RunsUnderWow64 gives, replaced (tests of the 32-bit behaviour on a 64-bit build);
// returns the previous query. nullptr restores the system's answer.
using Wow64Query = bool (*)();
Wow64Query ReplaceWow64Query(Wow64Query query);

// What a 32-bit program says on 64-bit Windows instead of a device operation it cannot do:
// operation names it ("add a virtual port"), program is the 64-bit program file to run instead.
std::string Wow64DeviceRefusal(const char* operation, const char* program);

// While it lives, paths under the Windows directory mean what they say (system32 is not redirected)
// for this thread of a 32-bit program on 64-bit Windows; elsewhere it does nothing.
class FileSystemRedirectionOff {
public:
    FileSystemRedirectionOff();
    ~FileSystemRedirectionOff();
    FileSystemRedirectionOff(const FileSystemRedirectionOff&) = delete;
    FileSystemRedirectionOff& operator=(const FileSystemRedirectionOff&) = delete;

private:
    PVOID m_previous = nullptr;
    bool m_off = false;
};
