// A socket, owned like every other handle of the programs.
#pragma once
#include <winsock2.h>

#include "unique_handle.h"

struct SocketTraits {
    using pointer = SOCKET;
    static SOCKET Invalid() { return INVALID_SOCKET; }
    static bool IsValid(SOCKET socket) { return socket != INVALID_SOCKET; }
    static void Close(SOCKET socket) { ::closesocket(socket); }
};

// A socket event object (WSACreateEvent); closed with WSACloseEvent.
struct SocketEventTraits {
    using pointer = WSAEVENT;
    static WSAEVENT Invalid() { return WSA_INVALID_EVENT; }
    static bool IsValid(WSAEVENT event) { return event != WSA_INVALID_EVENT; }
    static void Close(WSAEVENT event) { ::WSACloseEvent(event); }
};

using UniqueSocket = UniqueHandle<SocketTraits>;
using UniqueSocketEvent = UniqueHandle<SocketEventTraits>;
