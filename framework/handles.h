// The kinds of handle the programs own, each a UniqueHandle of its own traits, and the registry's
// open and create calls in the form the owners take.
#pragma once
#include <windows.h>

#include "unique_handle.h"

struct RegKeyTraits {
    using pointer = HKEY;
    static HKEY Invalid() { return nullptr; }
    static bool IsValid(HKEY key) { return key != nullptr; }
    static void Close(HKEY key) { ::RegCloseKey(key); }
};

// A kernel object (file, device, process, event). Null and INVALID_HANDLE_VALUE both mean none:
// CreateFile fails with one, most other calls with the other.
struct KernelHandleTraits {
    using pointer = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

// A file search (FindFirstFileA); closed with FindClose, not CloseHandle.
struct FindHandleTraits {
    using pointer = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void Close(HANDLE handle) { ::FindClose(handle); }
};

// A block of the local heap (LocalAlloc).
struct LocalMemoryTraits {
    using pointer = HLOCAL;
    static HLOCAL Invalid() { return nullptr; }
    static bool IsValid(HLOCAL memory) { return memory != nullptr; }
    static void Close(HLOCAL memory) { ::LocalFree(memory); }
};

using UniqueHKey = UniqueHandle<RegKeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

// RegOpenKeyExA into key. Returns the registry's error code; key holds nothing on failure.
inline LONG OpenRegKey(UniqueHKey& key, HKEY parent, const char* subKey, REGSAM access = KEY_READ)
{
    LONG result = ::RegOpenKeyExA(parent, subKey, 0, access, key.Put());
    if (result != ERROR_SUCCESS)
        key.Release();
    return result;
}

// RegCreateKeyExA (creating or opening) into key. Returns the registry's error code; key holds
// nothing on failure.
inline LONG CreateRegKey(UniqueHKey& key, HKEY parent, const char* subKey, REGSAM access = KEY_ALL_ACCESS)
{
    LONG result = ::RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key.Put(),
                                    nullptr);
    if (result != ERROR_SUCCESS)
        key.Release();
    return result;
}
