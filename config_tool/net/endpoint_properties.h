// The initial properties a dialog template gives its UDP endpoint control, as the control's window
// text: "Protocol=UDP;RemoteHost=255.255.255.255;RemotePort=48781;LocalPort=48780". Plain C++.
#pragma once
#include "datagram_frame.h"

#include <string>

struct EndpointProperties {
    std::string remoteHost = kBroadcastHost;
    long remotePort = kPrinterUdpPort;
    long localPort = kToolUdpPort;
    // "SendOnly=1": the hosting dialog only sends (the firmware start) and waits for no reply.
    bool sendOnly = false;
};

// The properties named in text over the defaults above. Items are "Name=value" separated by ';';
// unknown names, items without '=' and ports that are not a number from 0 to 65535 are passed over.
EndpointProperties ParseEndpointProperties(const char* text);

// What the user is told when the local port cannot be bound: "in use by another program" only when
// the socket layer said so (addressInUse), otherwise the socket layer's error code; then what the
// dialog cannot do without the port. Datagrams still go out, from a port of the system's choosing:
// a receiving dialog misses the replies, a send-only one (the firmware upload) goes on.
std::string BindFailureText(long localPort, bool addressInUse, int socketError, bool sendOnly);
