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

TEST(ParseCommandLine, KvrctlTakesItsOwnSwitchesAndKvrconfigDoesNot)
{
    Command byMac = ParseCommandLine("-BIND \\\\.\\COM10 00-1A-2b-3d-4e-5f", CommandSet::kCtl);
    ASSERT_EQ(byMac.kind, CommandKind::Bind) << byMac.problem;
    EXPECT_TRUE(byMac.byMac);
    EXPECT_EQ(byMac.port, "COM10");
    EXPECT_EQ(std::vector<int>(byMac.mac, byMac.mac + 6), (std::vector<int>{0x00, 0x1a, 0x2b, 0x3d, 0x4e, 0x5f}));
    EXPECT_EQ(byMac.tcpPort, 0);   // the port the printer reports
    EXPECT_EQ(ParseCommandLine("/bind * 00:1a:2b:3d:4e:5f 515", CommandSet::kCtl).tcpPort, 515);
    // A quoted path keeps its blanks, as /export and /import take it.
    Command exported = ParseCommandLine("/export \"C:\\Deploy Files\\ports.csv\"", CommandSet::kCtl);
    EXPECT_EQ(exported.kind, CommandKind::Export);
    EXPECT_EQ(exported.file, "C:\\Deploy Files\\ports.csv");
    EXPECT_TRUE(ParseCommandLine("/list /CSV", CommandSet::kCtl).csv);
    EXPECT_EQ(ParseCommandLine("/?", CommandSet::kCtl).kind, CommandKind::Usage);
    EXPECT_EQ(ParseCommandLine("", CommandSet::kCtl).kind, CommandKind::Invalid);
    // Mixed separators and a MAC where kvrconfig wants an address are refused.
    EXPECT_EQ(ParseCommandLine("/bind COM3 00:1a-2b:3d:4e:5f", CommandSet::kCtl).kind, CommandKind::Invalid);
    EXPECT_EQ(ParseCommandLine("/bind COM3 00:1a:2b:3d:4e:5f 9100").problem,
              "Not a printer's IPv4 address: 00:1a:2b:3d:4e:5f");
    EXPECT_EQ(ParseCommandLine("/find").problem, "Unknown argument: /find");
    EXPECT_STREQ(ArgumentsAfterProgramName("\"C:\\Program Files\\kvrctl.exe\"  /list"), "/list");
    EXPECT_STREQ(ArgumentsAfterProgramName("kvrctl /list /csv"), "/list /csv");
}

TEST(BindingsCsv, WhatListWritesImportReadsBackAndABadLineIsNamed)
{
    const uint8_t printer[4] = {192, 168, 250, 10};
    std::string csv = PortListingCsv(InPortListOrder({"COM4", "COM3"}), {{"COM3", NetworkOrderAddress(printer), 9100},
                                                                         {"COM7", NetworkOrderAddress(printer), 515}});
    EXPECT_EQ(csv, "port,address,tcpport,state\r\n"
                   "COM3,192.168.250.10,9100,bound\r\n"
                   "COM4,,,unbound\r\n"
                   "COM7,192.168.250.10,515,orphaned\r\n");
    EXPECT_EQ(PortListingCsv({}, {}), "port,address,tcpport,state\r\n");
    std::vector<ImportedBinding> lines;
    std::string problem;
    ASSERT_TRUE(ParseBindingsCsv(csv, lines, problem)) << problem;
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[0].bound && lines[0].tcpPort == 9100 && lines[0].ip[3] == 10);
    EXPECT_FALSE(lines[1].bound);
    EXPECT_EQ(lines[2].port, "COM7");
    EXPECT_FALSE(ParseBindingsCsv("port,address,tcpport,state\nCOM3,192.168.250.10,9100,bound\nCOM4,192.168.250,9100,bound\n",
                                  lines, problem));
    EXPECT_EQ(problem, "line 3: not a printer's IPv4 address: 192.168.250");
    EXPECT_FALSE(ParseBindingsCsv("port,address,tcpport,state\r\nCOM4,192.168.250.10,,unbound\r\n", lines, problem));
    EXPECT_EQ(problem, "line 2: an unbound port with an address");
    EXPECT_FALSE(ParseBindingsCsv("COM3,192.168.250.10,9100,bound\r\n", lines, problem));
    EXPECT_EQ(problem, "line 1: not the header port,address,tcpport,state");
}

TEST(FoundPrinters, OneLinePerReplyWithTheBoundPort)
{
    PrinterRecord bound = {{0x00, 0x1a, 0x2b, 0x3d, 0x4e, 0x5f}, {192, 168, 250, 10}, {255, 255, 255, 0}, {0, 0, 0, 0},
                           {0x23, 0x8c}, 3, 1, 2, 0, {0, 0}};
    PrinterRecord unconfigured = {};
    unconfigured.mac[5] = 0x01;
    EXPECT_EQ(FoundPrintersText({bound, unconfigured}, {{"COM3", NetworkOrderAddress(bound.ip)}}, true),
              "mac,address,tcpport,firmware,port\r\n"
              "00:1a:2b:3d:4e:5f,192.168.250.10,9100,1.2,COM3\r\n"
              "00:00:00:00:00:01,0.0.0.0,0,0.0,\r\n");
    EXPECT_EQ(FoundPrintersText({bound}, {}, false), "00:1a:2b:3d:4e:5f  192.168.250.10  9100   1.2     Not Assigned\r\n");
}
