#include "list_text.h"

#include <cstdio>

std::string NumberText(int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    return text;
}

std::string MacText(const PrinterRecord& r)
{
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", r.mac[0], r.mac[1], r.mac[2], r.mac[3],
                  r.mac[4], r.mac[5]);
    return text;
}

std::string DottedIpText(const uint8_t ip[4])
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", ip[0], ip[1], ip[2], ip[3]);
    return text;
}

std::string IpColumnText(const PrinterRecord& r)
{
    return r.ip[0] != 0 ? DottedIpText(r.ip) : std::string("Not Configuration");
}

std::string PortText(const PrinterRecord& r)
{
    return NumberText(static_cast<int>(RecordPort(r)));
}
