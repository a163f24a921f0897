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

using UniqueSocket = UniqueHandle<SocketTraits>;
