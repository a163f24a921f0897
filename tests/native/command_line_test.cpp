// kvrconfig's deployment switches: what is accepted, and that anything else is refused before
// the registry is touched.
#include "command/command_line.h"
#include "command/port_listing.h"
#include "net/settings_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<int> Bytes(const uint8_t ip[4])
{
    return {ip[0], ip[1], ip[2], ip[3]};
}
}

TEST(ParseCommandLine, TheThreeSwitchesInAnyLetterCaseWithQuotesAndBlanks)
{
    EXPECT_EQ(ParseCommandLine(nullptr).kind, CommandKind::OpenTool);
    EXPECT_EQ(ParseCommandLine(" \t ").kind, CommandKind::OpenTool);

    Command bind = ParseCommandLine("  /BIND \"COM3\"\t192.168.250.10 9100 ");
    ASSERT_EQ(bind.kind, CommandKind::Bind) << bind.problem;
    EXPECT_EQ(bind.port, "COM3");
    EXPECT_EQ(Bytes(bind.ip), (std::vector<int>{192, 168, 250, 10}));
    EXPECT_EQ(bind.tcpPort, 9100);

    Command unbind = ParseCommandLine("/Unbind com12");
    EXPECT_EQ(unbind.kind, CommandKind::Unbind);
    EXPECT_EQ(unbind.port, "com12");
    EXPECT_EQ(ParseCommandLine("/list").kind, CommandKind::List);
}

TEST(ParseCommandLine, AnythingElseIsRefusedWithWhatIsWrong)
{
    const struct {
        const char* line;
        const char* problem;
    } refused[] = {
        {"/bind", "Missing argument: /bind COMn ADDRESS PORT"},
        {"/bind COM3 192.168.250.10", "Missing argument: /bind COMn ADDRESS PORT"},
        {"/unbind", "Missing argument: /unbind COMn"},
        {"/list COM3", "Unexpected argument: COM3"},
        {"/bind COM3 192.168.250.10 9100 x", "Unexpected argument: x"},
        {"/bind COM3 192.168.250 9100", "Not a printer's IPv4 address: 192.168.250"},
        {"/bind COM3 192.168.250.10 0", "Not a TCP port (1-65535): 0"},
        {"/bind \"\" 192.168.250.10 9100", "/bind needs a port name"},
        {"/bind/list", "Unknown argument: /bind/list"},
        {"-list", "Unknown argument: -list"},
        {"COM3", "Unknown argument: COM3"},
    };
    for (const auto& r : refused) {
        Command command = ParseCommandLine(r.line);
        EXPECT_EQ(command.kind, CommandKind::Invalid) << r.line;
        EXPECT_EQ(command.problem, r.problem) << r.line;
    }
    EXPECT_NE(CommandUsageText().find("/bind COMn ADDRESS PORT"), std::string::npos);
}

TEST(ParsePrinterAddress, FourDecimalPartsNeitherNoneNorBroadcast)
{
    uint8_t ip[4] = {9, 9, 9, 9};
    EXPECT_TRUE(ParsePrinterAddress("0.0.0.1", ip));
    EXPECT_EQ(Bytes(ip), (std::vector<int>{0, 0, 0, 1}));
    EXPECT_TRUE(ParsePrinterAddress("255.255.255.254", ip));
    for (const char* bad : {"0.0.0.0", "255.255.255.255", "192.168.0.256", "192.168.0.010", "192.168.0", "1.2.3.4.5",
                            "1..3.4", "1.2.3.", ".1.2.3", "1.2.3.-4", "1.2.3.+4", " 1.2.3.4", "0x1.2.3.4", "1.2.3.4a",
                            "3232235530", "", "1000.2.3.4"}) {
        uint8_t kept[4] = {7, 7, 7, 7};
        EXPECT_FALSE(ParsePrinterAddress(bad, kept)) << bad;
        EXPECT_EQ(Bytes(kept), (std::vector<int>{7, 7, 7, 7})) << bad;
    }
}

TEST(ParseTcpPort, OneTo65535)
{
    int port = 0;
    EXPECT_TRUE(ParseTcpPort("1", port));
    EXPECT_TRUE(ParseTcpPort("65535", port));
    EXPECT_EQ(port, 65535);
    for (const char* bad : {"0", "65536", "99999", "123456", "", "-1", "+1", "91 00", "9100x", "0x10"})
        EXPECT_FALSE(ParseTcpPort(bad, port)) << bad;
}

TEST(PortListing, PortListOrderThenBindingsWhosePortIsGone)
{
    std::vector<std::string> ports = InPortListOrder({"COM4", "COM10", "com3", "COM2"});
    EXPECT_EQ(ports, (std::vector<std::string>{"COM10", "COM2", "com3", "COM4"}));
    ASSERT_NE(FindListedPort(ports, "COM3"), nullptr);
    EXPECT_EQ(*FindListedPort(ports, "COM3"), "com3");
    EXPECT_EQ(FindListedPort(ports, "COM1"), nullptr);

    const uint8_t printer[4] = {192, 168, 250, 10}, gone[4] = {192, 168, 0, 10};
    const std::vector<ListedBinding> bindings = {{"COM7", NetworkOrderAddress(gone), 515},
                                                 {"COM3", NetworkOrderAddress(printer), 9100},
                                                 {"COM2", NetworkOrderAddress(printer), -1}};
    EXPECT_EQ(PortListingText(ports, bindings),
              "COM10     Not Assigned\r\n"
              "COM2      192.168.250.10 -\r\n"
              "com3      192.168.250.10 9100\r\n"
              "COM4      Not Assigned\r\n"
              "COM7      192.168.0.10 515 (port no longer exists)\r\n");
    EXPECT_EQ(PortListingText({}, {}), "The package has no port, and no port is bound.\r\n");
}
