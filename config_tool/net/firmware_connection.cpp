#include "firmware_connection.h"

#include "message_wait.h"

namespace {
// The printer takes a block of 1024 bytes every 600 ms: a small send buffer is plenty, and it makes
// a printer that stops reading show at the next blocks rather than after tens of kilobytes.
constexpr int kSendBufferBytes = 4096;
}

CFirmwareConnection::CFirmwareConnection(HWND dialog) : m_hDialog(dialog), m_dwError(0)
{
}

bool CFirmwareConnection::Fail(DWORD error)
{
    m_dwError = error ? error : WSAEFAULT;
    return false;
}

bool CFirmwareConnection::Create()
{
    m_socket.Reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!m_socket)
        return Fail(::WSAGetLastError());
    m_event.Reset(::WSACreateEvent());
    if (!m_event)
        return Fail(::WSAGetLastError());
    // Makes the socket non-blocking and signals the event on each of these.
    if (::WSAEventSelect(m_socket.Get(), m_event.Get(), FD_CONNECT | FD_WRITE | FD_CLOSE) == SOCKET_ERROR)
        return Fail(::WSAGetLastError());
    int size = kSendBufferBytes;
    ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&size), sizeof size);
    m_dwError = 0;
    return true;
}

bool CFirmwareConnection::FailClosed(const WSANETWORKEVENTS& events)
{
    int error = events.iErrorCode[FD_CLOSE_BIT];
    return Fail(error ? static_cast<DWORD>(error) : WSAECONNRESET);
}

bool CFirmwareConnection::WaitForNetwork(ULONGLONG deadline, WSANETWORKEVENTS& events)
{
    events = WSANETWORKEVENTS();
    ULONGLONG now = ::GetTickCount64();
    if (now >= deadline || !WaitDispatchingMessages(m_hDialog, m_event.Get(), static_cast<DWORD>(deadline - now)))
        return Fail(WSAETIMEDOUT);
    if (::WSAEnumNetworkEvents(m_socket.Get(), m_event.Get(), &events) == SOCKET_ERROR)
        return Fail(::WSAGetLastError());
    return true;
}

bool CFirmwareConnection::Connect(const char* address, unsigned short port)
{
    sockaddr_in peer = {};
    peer.sin_family = AF_INET;
    peer.sin_port = ::htons(port);
    peer.sin_addr.s_addr = ::inet_addr(address);
    if (peer.sin_addr.s_addr == INADDR_NONE)
        return Fail(WSAEINVAL);
    if (::connect(m_socket.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
        return true;
    DWORD error = ::WSAGetLastError();
    if (error != WSAEWOULDBLOCK)
        return Fail(error);
    const ULONGLONG deadline = ::GetTickCount64() + kConnectTimeoutMs;
    for (;;) {
        WSANETWORKEVENTS events;
        if (!WaitForNetwork(deadline, events))
            return false;
        if (events.lNetworkEvents & FD_CONNECT) {
            if (events.iErrorCode[FD_CONNECT_BIT] != 0)
                return Fail(static_cast<DWORD>(events.iErrorCode[FD_CONNECT_BIT]));
            return true;
        }
        if (events.lNetworkEvents & FD_CLOSE)
            return FailClosed(events);
    }
}

bool CFirmwareConnection::Send(const uint8_t* data, size_t size)
{
    m_dwError = 0;
    size_t sent = 0;
    ULONGLONG deadline = ::GetTickCount64() + kStallTimeoutMs;
    while (sent < size) {
        size_t left = size - sent;
        int chunk = left > 0x10000 ? 0x10000 : static_cast<int>(left);
        int result = ::send(m_socket.Get(), reinterpret_cast<const char*>(data + sent), chunk, 0);
        if (result > 0) {
            sent += static_cast<size_t>(result);
            deadline = ::GetTickCount64() + kStallTimeoutMs;
            continue;
        }
        DWORD error = result == 0 ? WSAECONNRESET : ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            return Fail(error);
        // The send buffer is full: wait until the peer takes some of it (FD_WRITE) or the time is up.
        WSANETWORKEVENTS events;
        if (!WaitForNetwork(deadline, events))
            return false;
        if ((events.lNetworkEvents & FD_CLOSE) && !(events.lNetworkEvents & FD_WRITE))
            return FailClosed(events);
    }
    return true;
}

void CFirmwareConnection::Close()
{
    m_socket.Reset();
    m_event.Reset();
}
