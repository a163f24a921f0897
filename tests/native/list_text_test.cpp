#include "printers/list_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
PrinterRecord Zero()
{
    PrinterRecord r;
    std::memset(&r, 0, sizeof r);
    return r;
}
}

TEST(ListText, MacIsSixLowerCaseHexPairs)
{
    PrinterRecord r = Zero();
    const uint8_t mac[6] = {0x00, 0x1A, 0x2B, 0x3D, 0x4E, 0x5F};
    std::memcpy(r.mac, mac, 6);
    EXPECT_EQ(MacText(r), "00:1a:2b:3d:4e:5f");
    std::memset(r.mac, 0xFF, 6);
    EXPECT_EQ(MacText(r), "ff:ff:ff:ff:ff:ff");
}

TEST(ListText, PortIsBigEndian)
{
    PrinterRecord r = Zero();
    r.port[0] = 0x01;
    r.port[1] = 0xBB;
    EXPECT_EQ(PortText(r), "443");
    r.port[0] = 0xFF;
    r.port[1] = 0xFF;
    EXPECT_EQ(PortText(r), "65535");
}

TEST(ListText, AddressColumnShowsNotConfigurationOnlyForAZeroFirstByte)
{
    PrinterRecord r = Zero();
    EXPECT_EQ(IpColumnText(r), "Not Configuration");
    EXPECT_EQ(DottedIpText(r.ip), "0.0.0.0");  // still the text looked up in the store
    const uint8_t ip[4] = {192, 168, 0, 10};
    std::memcpy(r.ip, ip, 4);
    EXPECT_EQ(IpColumnText(r), "192.168.0.10");
    r.ip[0] = 0;
    EXPECT_EQ(IpColumnText(r), "Not Configuration");
    EXPECT_EQ(DottedIpText(r.ip), "0.168.0.10");
    std::memset(r.ip, 255, 4);
    EXPECT_EQ(IpColumnText(r), "255.255.255.255");
}
