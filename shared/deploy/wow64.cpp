#include "wow64.h"

namespace {
bool SystemSaysWow64()
{
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

Wow64Query g_query = SystemSaysWow64;
}

bool RunsUnderWow64()
{
    return g_query();
}

Wow64Query ReplaceWow64Query(Wow64Query query)
{
    Wow64Query previous = g_query;
    g_query = query ? query : SystemSaysWow64;
    return previous;
}

std::string Wow64DeviceRefusal(const char* operation, const char* program)
{
    return std::string("This is the 32-bit program. On 64-bit Windows it cannot ") + operation +
           ".\nPlease run the 64-bit " + program + " (x86_64 build) instead.";
}

FileSystemRedirectionOff::FileSystemRedirectionOff()
{
    // The function exists on every 64-bit capable Windows; on 32-bit Windows it fails and nothing
    // is redirected anyway.
    if (SystemSaysWow64())
        m_off = ::Wow64DisableWow64FsRedirection(&m_previous) != FALSE;
}

FileSystemRedirectionOff::~FileSystemRedirectionOff()
{
    if (m_off)
        ::Wow64RevertWow64FsRedirection(m_previous);
}
