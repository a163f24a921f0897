// One owner for every platform handle the programs hold: a registry key, a kernel object, a file
// search, a block of the local heap, a device-information set, a socket. Each kind is a traits
// class that says what "no handle" is and how the handle is released; the owner releases it exactly
// once, on every path. Owners move, never copy.
#pragma once
#include <utility>

template <class Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept : m_handle(Traits::Invalid()) {}
    explicit UniqueHandle(pointer handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    pointer Get() const noexcept { return m_handle; }
    bool Valid() const noexcept { return Traits::IsValid(m_handle); }
    explicit operator bool() const noexcept { return Valid(); }

    // Releases the held handle (if any) and takes handle.
    void Reset(pointer handle = Traits::Invalid()) noexcept
    {
        if (Traits::IsValid(m_handle))
            Traits::Close(m_handle);
        m_handle = handle;
    }
    // Gives the handle up without releasing it.
    pointer Release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }
    // For platform calls that hand a new handle out through a pointer: releases the held one first.
    pointer* Put() noexcept
    {
        Reset();
        return &m_handle;
    }

private:
    pointer m_handle;
};
