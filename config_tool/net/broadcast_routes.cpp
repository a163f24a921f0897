#include "broadcast_routes.h"

std::vector<BroadcastRoute> BroadcastRoutes(const std::vector<AdapterAddress>& addresses)
{
    std::vector<BroadcastRoute> routes;
    for (const AdapterAddress& a : addresses) {
        if (!a.up || a.loopback || a.address == 0)
            continue;
        bool seen = false;
        for (const BroadcastRoute& r : routes)
            seen |= r.interfaceIndex == a.interfaceIndex;
        if (!seen)
            routes.push_back({a.interfaceIndex, a.address | ~a.mask, a.address});
    }
    return routes;
}
