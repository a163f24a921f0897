// Owners for the handles the device setup routines hold: each releases its handle exactly once,
// on every path out of the routine.
#pragma once
#include <windows.h>
#include <setupapi.h>

// A device information set (SetupDiCreateDeviceInfoList, SetupDiGetClassDevsA).
// INVALID_HANDLE_VALUE, the platform's failure value, means none.
class UniqueDevInfo {
public:
    explicit UniqueDevInfo(HDEVINFO set) : m_set(set) {}
    ~UniqueDevInfo() { Reset(); }
    UniqueDevInfo(const UniqueDevInfo&) = delete;
    UniqueDevInfo& operator=(const UniqueDevInfo&) = delete;

    HDEVINFO Get() const { return m_set; }
    bool Valid() const { return m_set != INVALID_HANDLE_VALUE && m_set != nullptr; }
    // Destroys the set now (the routines destroy it before they report their last-error code).
    void Reset()
    {
        if (Valid())
            ::SetupDiDestroyDeviceInfoList(m_set);
        m_set = INVALID_HANDLE_VALUE;
    }

private:
    HDEVINFO m_set;
};

// A zero-filled block from the local heap (LocalAlloc / LocalFree).
class UniqueLocalBuffer {
public:
    UniqueLocalBuffer() = default;
    ~UniqueLocalBuffer() { Reset(); }
    UniqueLocalBuffer(const UniqueLocalBuffer&) = delete;
    UniqueLocalBuffer& operator=(const UniqueLocalBuffer&) = delete;

    // Frees the previous block and allocates size zeroed bytes. False, holding nothing, when the
    // heap refuses.
    bool Allocate(DWORD size)
    {
        Reset();
        m_data = static_cast<BYTE*>(::LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, size));
        m_size = m_data ? size : 0;
        return m_data != nullptr;
    }
    void Reset()
    {
        if (m_data)
            ::LocalFree(m_data);
        m_data = nullptr;
        m_size = 0;
    }
    BYTE* Get() const { return m_data; }
    DWORD Size() const { return m_size; }

private:
    BYTE* m_data = nullptr;
    DWORD m_size = 0;
};

// A file search (FindFirstFileA / FindClose).
class UniqueFindHandle {
public:
    explicit UniqueFindHandle(HANDLE search) : m_search(search) {}
    ~UniqueFindHandle()
    {
        if (Valid())
            ::FindClose(m_search);
    }
    UniqueFindHandle(const UniqueFindHandle&) = delete;
    UniqueFindHandle& operator=(const UniqueFindHandle&) = delete;

    bool Valid() const { return m_search != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_search;
};
