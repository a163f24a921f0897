// A registry key deleted while a walk holds it open, and a way to tell that a walk over it ends.
#pragma once
#include "handles.h"

#include <windows.h>
#include <shlwapi.h>

#include <functional>
#include <string>

// Opens a scratch key that holds a subkey and a value, then deletes it through another handle. The
// open handle now answers every index, of subkeys and values alike, with ERROR_KEY_DELETED.
inline bool OpenDeletedKey(UniqueHKey& key)
{
    const std::string path = "Software\\KvrTest\\DeletedWhileOpen";
    UniqueHKey created;
    if (CreateRegKey(created, HKEY_CURRENT_USER, (path + "\\0000").c_str()) != ERROR_SUCCESS)
        return false;
    created.Reset();
    DWORD one = 1;
    if (OpenRegKey(key, HKEY_CURRENT_USER, path.c_str(), KEY_READ | KEY_SET_VALUE) != ERROR_SUCCESS ||
        ::RegSetValueExA(key.Get(), "COM3", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one) != ERROR_SUCCESS)
        return false;
    return ::SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}

// Runs walk on a thread of its own. False when it has not ended within timeoutMs: a walk that asks
// forever cannot be waited for, so its thread is stopped then.
inline bool EndsWithin(DWORD timeoutMs, std::function<void()> walk)
{
    HANDLE thread = ::CreateThread(
        nullptr, 0, [](LPVOID p) -> DWORD { (*static_cast<std::function<void()>*>(p))(); return 0; }, &walk, 0, nullptr);
    if (!thread)
        return false;
    bool ended = ::WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        ::TerminateThread(thread, 1);
        ::WaitForSingleObject(thread, INFINITE);
    }
    ::CloseHandle(thread);
    return ended;
}
