// Which network adapters a broadcast request leaves by. A limited broadcast (255.255.255.255)
// leaves by one adapter only, the one the routing table picks; printers behind any other adapter
// would never hear it. So it goes out once per adapter. Plain C++.
#pragma once
#include <cstdint>
#include <vector>

// One IPv4 address of a network adapter, as the system lists it. Addresses in host byte order.
struct AdapterAddress {
    uint32_t interfaceIndex = 0;
    bool up = false;
    bool loopback = false;
    uint32_t address = 0;
    uint32_t mask = 0;
};

// One copy of a broadcast: sent out this interface, or, where the platform cannot choose the
// interface of a send, to `directedBroadcast` (the adapter's subnet broadcast, host byte order).
struct BroadcastRoute {
    uint32_t interfaceIndex = 0;
    uint32_t directedBroadcast = 0;
    uint32_t address = 0;  // the adapter's own, the copy's source (host byte order)
};

// One route per adapter that is up, is not a loopback and has an IPv4 address (its first one), in
// the order listed.
std::vector<BroadcastRoute> BroadcastRoutes(const std::vector<AdapterAddress>& addresses);
