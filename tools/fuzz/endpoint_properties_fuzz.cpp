// libFuzzer target: the endpoint control's initial properties, read from its window text. Whatever
// the text, the ports stay within 0..65535 and the parse stays inside the string.
#include "net/endpoint_properties.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);  // ends at the first NUL, as a window text
    EndpointProperties p = ParseEndpointProperties(text.c_str());
    if (p.remotePort < 0 || p.remotePort > 65535 || p.localPort < 0 || p.localPort > 65535)
        __builtin_trap();
    // A host comes only from a "RemoteHost=" item.
    if (p.remoteHost != kBroadcastHost && text.find("RemoteHost=") == std::string::npos)
        __builtin_trap();
    return 0;
}
