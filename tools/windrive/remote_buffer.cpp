#include "remote_buffer.h"

namespace {

bool SameBitness(HANDLE process)
{
    BOOL targetWow64 = FALSE, selfWow64 = FALSE;
    return ::IsWow64Process(process, &targetWow64) && ::IsWow64Process(::GetCurrentProcess(), &selfWow64) &&
           targetWow64 == selfWow64;
}

}  // namespace

RemoteBuffer::RemoteBuffer(HWND window, size_t size) : m_size(size)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    m_process.Reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                      PROCESS_QUERY_LIMITED_INFORMATION,
                                  FALSE, pid));
    if (m_process.Valid() && SameBitness(m_process.Get()))
        m_address = ::VirtualAllocEx(m_process.Get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer()
{
    if (m_address)
        ::VirtualFreeEx(m_process.Get(), m_address, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(size_t offset, const void* data, size_t size)
{
    if (!m_address || offset > m_size || size > m_size - offset)
        return false;
    SIZE_T written = 0;
    return ::WriteProcessMemory(m_process.Get(), static_cast<char*>(m_address) + offset, data, size, &written) &&
           written == size;
}

bool RemoteBuffer::Read(size_t offset, void* data, size_t size) const
{
    if (!m_address || offset > m_size || size > m_size - offset)
        return false;
    SIZE_T read = 0;
    return ::ReadProcessMemory(m_process.Get(), static_cast<char*>(m_address) + offset, data, size, &read) &&
           read == size;
}
