#include "endpoint_properties.h"

#include <cstdio>
#include <cstdlib>

namespace {
bool ParsePort(const std::string& text, long& port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > 65535)
        return false;
    port = value;
    return true;
}
}

EndpointProperties ParseEndpointProperties(const char* text)
{
    EndpointProperties properties;
    std::string items = text ? text : "";
    size_t start = 0;
    while (start < items.size()) {
        size_t end = items.find(';', start);
        if (end == std::string::npos)
            end = items.size();
        std::string item = items.substr(start, end - start);
        size_t eq = item.find('=');
        if (eq != std::string::npos) {
            std::string name = item.substr(0, eq);
            std::string value = item.substr(eq + 1);
            if (name == "RemoteHost")
                properties.remoteHost = value;
            else if (name == "RemotePort")
                ParsePort(value, properties.remotePort);
            else if (name == "LocalPort")
                ParsePort(value, properties.localPort);
            else if (name == "SendOnly")
                properties.sendOnly = value == "1";
        }
        start = end + 1;
    }
    return properties;
}

std::string BindFailureText(long localPort, bool addressInUse, int socketError, bool sendOnly)
{
    const char* consequence = sendOnly ? "The firmware upload cannot send its start message from this port: "
                                         "it goes out from another one."
                                       : "Replies from the printers cannot be received.";
    char text[240];
    if (addressInUse)
        std::snprintf(text, sizeof text, "Error : UDP port %ld is in use by another program!\r\n%s", localPort,
                      consequence);
    else
        std::snprintf(text, sizeof text, "Error : UDP port %ld cannot be used (socket error %d)!\r\n%s", localPort,
                      socketError, consequence);
    return text;
}
