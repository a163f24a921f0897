#include "net/datagram_frame.h"
#include "net/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
PrinterRecord Reported()
{
    const uint8_t bytes[26] = {0x00, 0x1A, 0x2B, 0x3D, 0x4E, 0x5F,  // MAC
                               192, 168, 0, 10,                      // IP
                               255, 255, 255, 0,                     // mask
                               192, 168, 0, 1,                       // gateway
                               0x02, 0x03,                           // port 515
                               0xF4,                                 // 9600
                               1, 10,                                // firmware 1.10
                               0,                                    // fixed address
                               0x01, 0x2C};                          // 300 s
    PrinterRecord r;
    std::memcpy(&r, bytes, sizeof r);
    return r;
}

std::vector<uint8_t> Bytes(const PrinterRecord& r)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&r);
    return std::vector<uint8_t>(p, p + sizeof r);
}
}

TEST(SettingsRecord, DialogShowsWhatThePrinterReported)
{
    PrinterRecord r = Reported();
    PrinterSettings s = SettingsFromRecord(r);
    EXPECT_EQ(std::vector<uint8_t>(s.ip, s.ip + 4), (std::vector<uint8_t>{192, 168, 0, 10}));
    EXPECT_EQ(std::vector<uint8_t>(s.subnetMask, s.subnetMask + 4), (std::vector<uint8_t>{255, 255, 255, 0}));
    EXPECT_EQ(std::vector<uint8_t>(s.gateway, s.gateway + 4), (std::vector<uint8_t>{192, 168, 0, 1}));
    EXPECT_EQ(s.localPort, 515);
    EXPECT_EQ(s.inactivitySeconds, 300);
    EXPECT_EQ(s.baudRateIndex, 3);
    EXPECT_EQ(s.dhcpMode, 0);
    EXPECT_EQ(FirmwareVersionText(r), "1.10");

    r.port[0] = 0xFF;
    r.port[1] = 0xFF;
    r.firmwareMajor = 255;
    r.firmwareMinor = 255;
    r.baudRateCode = 0x10;
    EXPECT_EQ(SettingsFromRecord(r).localPort, 65535);
    EXPECT_EQ(SettingsFromRecord(r).baudRateIndex, -1);  // selects nothing
    EXPECT_EQ(FirmwareVersionText(r), "255.255");
}

TEST(SettingsRecord, SavedValuesReplaceTheEditableBytesOnly)
{
    PrinterRecord r = Reported();
    PrinterSettings s = SettingsFromRecord(r);
    const uint8_t ip[4] = {10, 77, 0, 0};  // last field left blank reads as 0
    std::memcpy(s.ip, ip, 4);
    s.localPort = 9100;
    s.inactivitySeconds = 0;
    s.baudRateIndex = 8;
    s.dhcpMode = 1;
    WriteSettingsToRecord(s, r);

    std::vector<uint8_t> expected = Bytes(Reported());
    const uint8_t edited[] = {10, 77, 0, 0};
    std::memcpy(&expected[6], edited, 4);
    expected[18] = 0x23;  // 9100
    expected[19] = 0x8C;
    expected[20] = 0xBB;  // 230400
    expected[23] = 1;
    expected[24] = 0;
    expected[25] = 0;
    EXPECT_EQ(Bytes(r), expected);

    // The datagram is "SETT" and the record, 30 bytes.
    std::vector<uint8_t> datagram = MakeSettingsDatagram(r);
    ASSERT_EQ(datagram.size(), 30u);
    EXPECT_EQ(std::string(datagram.begin(), datagram.begin() + 4), "SETT");
    EXPECT_EQ(std::vector<uint8_t>(datagram.begin() + 4, datagram.end()), expected);
}

TEST(SettingsRecord, UnselectedBaudRateAndIndexZeroSend1200)
{
    PrinterRecord r = Reported();
    r.baudRateCode = 0x10;
    PrinterSettings s = SettingsFromRecord(r);  // nothing selected when the dialog opens
    WriteSettingsToRecord(s, r);
    EXPECT_EQ(r.baudRateCode, 0xA0);
    EXPECT_EQ(r.port[0], 0x02);  // 515
    EXPECT_EQ(r.port[1], 0x03);

    EXPECT_EQ(GetBaudRateCode(-1), 0xA0);
    EXPECT_EQ(GetBaudRateCode(0), 0xA0);
    EXPECT_EQ(GetBaudRateCode(1), 0xD0);
    EXPECT_EQ(GetBaudRateCode(7), 0xFF);
    EXPECT_EQ(GetBaudRateCode(9), 0xA0);
    EXPECT_EQ(SelectBaudRateIndex(0xBB), 8);
    EXPECT_EQ(SelectBaudRateIndex(0xA0), 0);

    s.dhcpMode = 2;  // any checked state goes out as 1
    WriteSettingsToRecord(s, r);
    EXPECT_EQ(r.dhcpMode, 1);
}

TEST(SettingsRecord, SaveRefusesWhatCannotBeBoundOrCarried)
{
    EXPECT_EQ(CheckSaveValues(4, 515, 0), SaveProblem::None);
    EXPECT_EQ(CheckSaveValues(1, 65535, 65535), SaveProblem::None);  // one field filled is enough
    EXPECT_EQ(CheckSaveValues(0, 515, 0), SaveProblem::NoAddressOrPort);
    EXPECT_EQ(CheckSaveValues(4, 0, 0), SaveProblem::NoAddressOrPort);
    EXPECT_EQ(CheckSaveValues(0, 70000, 0), SaveProblem::NoAddressOrPort);  // the address first
    EXPECT_EQ(CheckSaveValues(4, 65536, 0), SaveProblem::LocalPortOutOfRange);
    EXPECT_EQ(CheckSaveValues(4, -1, 0), SaveProblem::LocalPortOutOfRange);
    EXPECT_EQ(CheckSaveValues(4, 515, 65536), SaveProblem::InactivityOutOfRange);
    EXPECT_EQ(CheckSaveValues(4, 515, -1), SaveProblem::InactivityOutOfRange);
}
