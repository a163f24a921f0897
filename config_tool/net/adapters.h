// The IPv4 addresses of this computer's network adapters, as the system lists them now.
#pragma once
#include "broadcast_routes.h"

#include <vector>

// Empty when the system cannot list them.
std::vector<AdapterAddress> ListIpv4Adapters();
