#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include "adapters.h"

std::vector<AdapterAddress> ListIpv4Adapters()
{
    std::vector<AdapterAddress> found;
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        result = ::GetAdaptersAddresses(AF_INET, flags, nullptr,
                                        reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result != NO_ERROR)
        return found;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next) {
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const SOCKADDR* address = unicast->Address.lpSockaddr;
            if (!address || address->sa_family != AF_INET)
                continue;
            AdapterAddress a;
            a.interfaceIndex = adapter->IfIndex;
            a.up = adapter->OperStatus == IfOperStatusUp;
            a.loopback = adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
            a.address = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
            const ULONG prefix = unicast->OnLinkPrefixLength <= 32 ? unicast->OnLinkPrefixLength : 32;
            a.mask = prefix == 0 ? 0 : 0xFFFFFFFFu << (32 - prefix);
            found.push_back(a);
        }
    }
    return found;
}
