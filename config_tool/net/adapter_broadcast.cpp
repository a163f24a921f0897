#include "adapter_broadcast.h"

#include <ws2tcpip.h>
#include <ws2ipdef.h>
#include <mswsock.h>

#include <cstring>

namespace {

// Which adapter a limited broadcast leaves by is not the routing table's to choose: it would pick
// one. Windows documents IN_PKTINFO on WSASendMsg for exactly this (ipi_ifindex "the interface on
// which the packet should be sent", ipi_addr the source address), for any destination. Wine 8 drops
// a send's control data but honours IP_UNICAST_IF for a limited broadcast, so that option names
// the same adapter as well; on Windows both say the same thing.
bool SendOutOf(SOCKET socket, const std::vector<uint8_t>& data, const sockaddr_in& remote, const BroadcastRoute& route)
{
    DWORD index = htonl(route.interfaceIndex);  // network byte order, as the option takes it for IPv4
    if (::setsockopt(socket, IPPROTO_IP, IP_UNICAST_IF, reinterpret_cast<const char*>(&index), sizeof index) != 0)
        return false;
    IN_PKTINFO info = {};
    info.ipi_addr.s_addr = htonl(route.address);
    info.ipi_ifindex = route.interfaceIndex;
    char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
    auto* header = reinterpret_cast<WSACMSGHDR*>(control);
    header->cmsg_len = WSA_CMSG_LEN(sizeof info);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    std::memcpy(WSA_CMSG_DATA(header), &info, sizeof info);

    WSABUF buffer;
    buffer.len = static_cast<ULONG>(data.size());
    buffer.buf = reinterpret_cast<char*>(const_cast<uint8_t*>(data.data()));
    WSAMSG message = {};
    message.name = reinterpret_cast<sockaddr*>(const_cast<sockaddr_in*>(&remote));
    message.namelen = sizeof remote;
    message.lpBuffers = &buffer;
    message.dwBufferCount = 1;
    message.Control.buf = control;
    message.Control.len = sizeof control;
    DWORD sent = 0;
    return ::WSASendMsg(socket, &message, 0, &sent, nullptr, nullptr) == 0;
}

void ChooseNoInterface(SOCKET socket)
{
    DWORD any = 0;
    ::setsockopt(socket, IPPROTO_IP, IP_UNICAST_IF, reinterpret_cast<const char*>(&any), sizeof any);
}

}  // namespace

int SendOutOfEachAdapter(SOCKET socket, const std::vector<uint8_t>& data, u_short remotePort,
                         const std::vector<BroadcastRoute>& routes)
{
    int unsent = 0;
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(remotePort);
    for (const BroadcastRoute& route : routes) {
        remote.sin_addr.s_addr = htonl(INADDR_BROADCAST);
        if (SendOutOf(socket, data, remote, route))
            continue;
        // Whatever was chosen for this copy (or left from the one before) must not steer the
        // subnet broadcast, which the routing table takes to its adapter by its address. An
        // unconfigured printer (0.0.0.0) may not hear it, but every configured one does.
        ChooseNoInterface(socket);
        remote.sin_addr.s_addr = htonl(route.directedBroadcast);
        if (::sendto(socket, reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()), 0,
                     reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR)
            ++unsent;
    }
    ChooseNoInterface(socket);
    return unsent;
}
