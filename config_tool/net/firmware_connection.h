// The TCP client that carries a firmware image to a printer. Connecting and sending never block the
// thread: while the network is waited for, the thread's messages are dispatched (through the
// dialog given at construction), so the window stays answering for the whole transfer.
#pragma once
#include "socket_handle.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

class CFirmwareConnection {
public:
    // A send that takes no byte for this long has failed: the printer has stopped reading.
    static constexpr DWORD kStallTimeoutMs = 30000;
    // A connection that is neither accepted nor refused in this time has failed.
    static constexpr DWORD kConnectTimeoutMs = 30000;

    explicit CFirmwareConnection(HWND dialog);

    // Creates the TCP socket. On failure Error() tells why.
    bool Create();
    // Connects to the dotted IPv4 address and port. On failure (refused, unreachable, no answer in
    // kConnectTimeoutMs) Error() tells why.
    bool Connect(const char* address, unsigned short port);
    // Sends all `size` bytes, or fails: the connection broke, or kStallTimeoutMs passed without the
    // peer taking any byte (Error() is then WSAETIMEDOUT).
    bool Send(const uint8_t* data, size_t size);
    void Close();

    // The Windows Sockets error of the step that failed last (0: none).
    DWORD Error() const { return m_dwError; }

private:
    // Waits until one of the socket's network events or the deadline (GetTickCount64), dispatching
    // messages. False, with Error() set (WSAETIMEDOUT when the deadline passed), when none came.
    bool WaitForNetwork(ULONGLONG deadline, WSANETWORKEVENTS& events);
    bool Fail(DWORD error);
    // The peer closed the connection: its error, or WSAECONNRESET when it gave none.
    bool FailClosed(const WSANETWORKEVENTS& events);

    HWND m_hDialog;
    UniqueSocket m_socket;
    UniqueSocketEvent m_event;
    DWORD m_dwError;
};
