// A limited broadcast (255.255.255.255) sent once out of each network adapter, all from one socket,
// so that every copy leaves from the endpoint's local port and the replies come back to it.
#pragma once
#include <winsock2.h>

#include "broadcast_routes.h"

#include <cstdint>
#include <vector>

// Sends `data` to 255.255.255.255:remotePort once per route, out of that route's adapter, from
// that adapter's address. Where the system refuses to send a copy that way, the adapter's subnet
// broadcast is tried once instead. Returns how many copies could not be sent at all.
int SendOutOfEachAdapter(SOCKET socket, const std::vector<uint8_t>& data, u_short remotePort,
                         const std::vector<BroadcastRoute>& routes);
