// kvrconfig's deployment switches: what is accepted, that anything else is refused before the
// registry is touched, and /list's text.
#include "command/command_line.h"
#include "command/port_listing.h"
#include "net/settings_record.h"

#include <gtest/gtest.h>

TEST(ParseCommandLine, TheThreeSwitchesInAnyLetterCaseWithQuotesAndBlanks)
{
    EXPECT_EQ(ParseCommandLine(" \t ").kind, CommandKind::OpenTool);
    Command bind = ParseCommandLine("  /BIND \"COM3\"\t192.168.250.10 9100 ");
    ASSERT_EQ(bind.kind, CommandKind::Bind) << bind.problem;
    EXPECT_EQ(bind.port, "COM3");
    EXPECT_EQ(std::vector<int>(bind.ip, bind.ip + 4), (std::vector<int>{192, 168, 250, 10}));
    EXPECT_EQ(bind.tcpPort, 9100);
    EXPECT_EQ(ParseCommandLine("/Unbind com12").port, "com12");
    EXPECT_EQ(ParseCommandLine("/list").kind, CommandKind::List);
}

TEST(ParseCommandLine, AnythingElseIsRefusedWithWhatIsWrong)
{
    const std::pair<const char*, const char*> refused[] = {
        {"/bind COM3 192.168.250.10", "Missing argument: /bind COMn ADDRESS PORT"},
        {"/list COM3", "Unexpected argument: COM3"},
        {"/bind COM3 192.168.250 9100", "Not a printer's IPv4 address: 192.168.250"},
        {"/bind COM3 192.168.250.10 0", "Not a TCP port (1-65535): 0"},
        {"/unbind \"\"", "/unbind needs a port name"},
        {"/bind/list", "Unknown argument: /bind/list"},
    };
    for (const auto& [line, problem] : refused) {
        EXPECT_EQ(ParseCommandLine(line).kind, CommandKind::Invalid) << line;
        EXPECT_EQ(ParseCommandLine(line).problem, problem) << line;
    }
}

TEST(PrinterAddressAndTcpPort, OnlyWhatAPrinterCanHave)
{
    uint8_t ip[4];
    int port = 0;
    EXPECT_TRUE(ParsePrinterAddress("255.255.255.254", ip) && ParsePrinterAddress("0.0.0.1", ip));
    EXPECT_TRUE(ParseTcpPort("1", port) && ParseTcpPort("65535", port));
    for (const char* bad : {"0.0.0.0", "255.255.255.255", "1.2.3.256", "1.2.3.010", "1.2.3.4.5", "1..3.4", "1.2.3.",
                            "1.2.3.+4", " 1.2.3.4", "3232235530", "", "1000.2.3.4"})
        EXPECT_FALSE(ParsePrinterAddress(bad, ip)) << bad;
    for (const char* bad : {"0", "65536", "123456", "", "+1", "9100x"})
        EXPECT_FALSE(ParseTcpPort(bad, port)) << bad;
}

TEST(PortListing, PortListOrderThenBindingsWhosePortIsGone)
{
    std::vector<std::string> ports = InPortListOrder({"COM4", "COM10", "com3", "COM2"});
    ASSERT_NE(FindListedPort(ports, "COM3"), nullptr);
    EXPECT_EQ(*FindListedPort(ports, "COM3"), "com3");
    const uint8_t printer[4] = {192, 168, 250, 10}, gone[4] = {192, 168, 0, 10};
    EXPECT_EQ(PortListingText(ports, {{"COM7", NetworkOrderAddress(gone), 515},
                                      {"COM3", NetworkOrderAddress(printer), 9100},
                                      {"COM2", NetworkOrderAddress(printer), -1}}),
              "COM10     Not Assigned\r\n"
              "COM2      192.168.250.10 -\r\n"
              "com3      192.168.250.10 9100\r\n"
              "COM4      Not Assigned\r\n"
              "COM7      192.168.0.10 515 (port no longer exists)\r\n");
    EXPECT_EQ(PortListingText({}, {}), "The package has no port, and no port is bound.\r\n");
}
