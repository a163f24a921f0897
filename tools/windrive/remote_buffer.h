// Memory inside the program under test, for messages whose argument is a pointer that the system
// does not carry between processes (list view items, IP address control values).
#pragma once
#include <windows.h>

#include "handles.h"

#include <cstddef>

// A block of committed memory in the process that owns a window, released with the owner. Invalid
// when that process cannot be opened or is not of the driver's own bitness (the structures placed
// in the block would not match).
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return m_address != nullptr; }
    // The block's address as the other process sees it, plus offset.
    LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(m_address) + offset); }
    // Copies in or out; false when the range does not fit the block or the copy fails.
    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size) const;

private:
    UniqueKernelHandle m_process;
    void* m_address = nullptr;
    size_t m_size;
};
