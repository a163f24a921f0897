// The settings block of one printer, byte for byte as printers send and receive it.
// Every field is made of bytes, so the struct has no padding and its memory form is its wire form.
#pragma once
#include <cstddef>
#include <cstdint>

struct PrinterRecord {
    uint8_t mac[6];          // Ethernet address, first byte first
    uint8_t ip[4];           // IPv4 address in dotted order; ip[0] == 0: not configured
    uint8_t subnetMask[4];   // dotted order
    uint8_t gateway[4];      // dotted order
    uint8_t port[2];         // TCP "Local Port" for print data, big-endian
    uint8_t baudRateCode;    // serial speed, see baud_rate.h
    uint8_t firmwareMajor;
    uint8_t firmwareMinor;
    uint8_t dhcpMode;        // 1: address by DHCP, 0: fixed
    uint8_t inactivity[2];   // seconds, big-endian; 0 is the default
};

static_assert(sizeof(PrinterRecord) == 26, "a printer record is 26 bytes on the wire");
static_assert(offsetof(PrinterRecord, port) == 18, "port at offset 18");
static_assert(offsetof(PrinterRecord, inactivity) == 24, "inactivity time at offset 24");

inline unsigned RecordPort(const PrinterRecord& r)
{
    return static_cast<unsigned>(r.port[0]) * 256u + r.port[1];
}

inline unsigned RecordInactivity(const PrinterRecord& r)
{
    return static_cast<unsigned>(r.inactivity[0]) * 256u + r.inactivity[1];
}
