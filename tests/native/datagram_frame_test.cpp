#include "net/datagram_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<uint8_t> Reply(size_t length)
{
    std::vector<uint8_t> d = Bytes("IMIN");
    for (size_t i = 4; i < length; ++i)
        d.push_back(static_cast<uint8_t>(i));
    return d;
}
}

TEST(DatagramFrame, FindRequestIsFourBytes)
{
    EXPECT_EQ(MakeFindRequest(), (std::vector<uint8_t>{0x46, 0x49, 0x4E, 0x44}));
}

TEST(DatagramFrame, FullReplyIsTakenAsTheRecordUnchanged)
{
    std::vector<uint8_t> d = Reply(30);
    PrinterRecord r;
    ASSERT_TRUE(ParseFindReply(d.data(), d.size(), r));
    EXPECT_EQ(std::memcmp(&r, d.data() + 4, 26), 0);
    EXPECT_EQ(r.mac[0], 4);
    EXPECT_EQ(r.inactivity[1], 29);
}

TEST(DatagramFrame, ShortRepliesAreZeroFilledAndLongOnesCut)
{
    std::vector<uint8_t> five = Bytes("IMIN");
    five.push_back(0);
    PrinterRecord r;
    std::memset(&r, 0xEE, sizeof r);
    ASSERT_TRUE(ParseFindReply(five.data(), five.size(), r));
    for (size_t i = 0; i < sizeof r; ++i)
        EXPECT_EQ(reinterpret_cast<const uint8_t*>(&r)[i], 0) << i;

    std::vector<uint8_t> partial = Reply(12);
    ASSERT_TRUE(ParseFindReply(partial.data(), partial.size(), r));
    EXPECT_EQ(r.mac[0], 4);
    EXPECT_EQ(r.ip[1], 11);  // datagram byte 11 is record byte 7
    EXPECT_EQ(r.ip[2], 0);   // past the datagram's end

    PrinterRecord full, longer;
    std::vector<uint8_t> d30 = Reply(30), d40 = Reply(40), d600 = Reply(600), d70k = Reply(70000);
    ASSERT_TRUE(ParseFindReply(d30.data(), d30.size(), full));
    ASSERT_TRUE(ParseFindReply(d40.data(), d40.size(), longer));
    EXPECT_EQ(std::memcmp(&full, &longer, sizeof full), 0);
    ASSERT_TRUE(ParseFindReply(d600.data(), d600.size(), longer));
    EXPECT_EQ(std::memcmp(&full, &longer, sizeof full), 0);
    ASSERT_TRUE(ParseFindReply(d70k.data(), d70k.size(), longer));
}

TEST(DatagramFrame, OtherDatagramsAreNotReplies)
{
    PrinterRecord r;
    std::memset(&r, 0x5A, sizeof r);
    const std::vector<std::vector<uint8_t>> rejected = {
        {}, Bytes("I"), Bytes("IM"), Bytes("IMI"), Bytes("IMIN"), Bytes("imin") + std::vector<uint8_t>(26),
        Bytes("SETC") + std::vector<uint8_t>(26), Bytes("IMIX") + std::vector<uint8_t>(26),
    };
    for (const auto& d : rejected)
        EXPECT_FALSE(ParseFindReply(d.data(), d.size(), r)) << std::string(d.begin(), d.end());
    EXPECT_FALSE(ParseFindReply(nullptr, 0, r));
    EXPECT_EQ(r.mac[0], 0x5A);  // untouched
}

TEST(DatagramFrame, SettingsAndFirmwareFramesCarryTheRecord)
{
    PrinterRecord r;
    for (size_t i = 0; i < sizeof r; ++i)
        reinterpret_cast<uint8_t*>(&r)[i] = static_cast<uint8_t>(0xA0 + i);
    std::vector<uint8_t> sett = MakeSettingsDatagram(r), firs = MakeFirmwareStart(r);
    ASSERT_EQ(sett.size(), 30u);
    ASSERT_EQ(firs.size(), 30u);
    EXPECT_EQ(std::string(sett.begin(), sett.begin() + 4), "SETT");
    EXPECT_EQ(std::string(firs.begin(), firs.begin() + 4), "FIRS");
    EXPECT_EQ(std::memcmp(sett.data() + 4, &r, 26), 0);
    EXPECT_EQ(std::memcmp(firs.data() + 4, &r, 26), 0);
}

TEST(DatagramFrame, AcknowledgementNeedsFiveBytesBeginningWithSetc)
{
    std::vector<uint8_t> ack = Bytes("SETC");
    EXPECT_FALSE(IsSettingsAck(ack.data(), ack.size()));
    ack.push_back(0);
    EXPECT_TRUE(IsSettingsAck(ack.data(), ack.size()));
    std::vector<uint8_t> big = Bytes("SETC") + std::vector<uint8_t>(1000);
    EXPECT_TRUE(IsSettingsAck(big.data(), big.size()));
    std::vector<uint8_t> lower = Bytes("setc0");
    EXPECT_FALSE(IsSettingsAck(lower.data(), lower.size()));
    std::vector<uint8_t> imin = Reply(30);
    EXPECT_FALSE(IsSettingsAck(imin.data(), imin.size()));
}
