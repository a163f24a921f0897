// Owners for the platform's handles: each closes its handle exactly once, on every path.
#pragma once
#include <windows.h>

// A registry key. Open and Create return the registry's error code and leave the key closed on failure.
class UniqueHKey {
public:
    UniqueHKey() = default;
    ~UniqueHKey() { Close(); }
    UniqueHKey(const UniqueHKey&) = delete;
    UniqueHKey& operator=(const UniqueHKey&) = delete;

    LONG Open(HKEY parent, const char* subKey, REGSAM access = KEY_READ)
    {
        Close();
        LONG result = ::RegOpenKeyExA(parent, subKey, 0, access, &m_hKey);
        if (result != ERROR_SUCCESS)
            m_hKey = nullptr;
        return result;
    }
    LONG Create(HKEY parent, const char* subKey, REGSAM access = KEY_ALL_ACCESS)
    {
        Close();
        LONG result = ::RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &m_hKey, nullptr);
        if (result != ERROR_SUCCESS)
            m_hKey = nullptr;
        return result;
    }
    void Close()
    {
        if (m_hKey) {
            ::RegCloseKey(m_hKey);
            m_hKey = nullptr;
        }
    }
    HKEY Get() const { return m_hKey; }
    explicit operator bool() const { return m_hKey != nullptr; }

private:
    HKEY m_hKey = nullptr;
};

// A kernel object handle (file, process, event, ...). Null and INVALID_HANDLE_VALUE both mean none.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    void Reset(HANDLE handle = nullptr)
    {
        if (Valid())
            ::CloseHandle(m_handle);
        m_handle = handle;
    }
    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle = nullptr;
};
