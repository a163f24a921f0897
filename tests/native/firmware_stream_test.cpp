#include "net/firmware_stream.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
std::vector<std::tuple<size_t, size_t, int>> Blocks(size_t size)
{
    std::vector<std::tuple<size_t, size_t, int>> out;
    for (const FirmwareBlock& b : SplitFirmwareImage(size))
        out.emplace_back(b.offset, b.size, b.percent);
    return out;
}
}

TEST(FirmwareStream, LengthIsBigEndian)
{
    EXPECT_EQ(FirmwareLengthPrefix(3000), (std::array<uint8_t, 4>{0x00, 0x00, 0x0B, 0xB8}));
    EXPECT_EQ(FirmwareLengthPrefix(0x01020304u), (std::array<uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(FirmwareLengthPrefix(0xFFFFFFFFu), (std::array<uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(FirmwareStream, BlocksAndTheShareBeforeEach)
{
    using B = std::tuple<size_t, size_t, int>;
    EXPECT_EQ(Blocks(3000), (std::vector<B>{B{0, 1024, 0}, B{1024, 1024, 34}, B{2048, 952, 68}}));
    EXPECT_EQ(Blocks(1), (std::vector<B>{B{0, 1, 0}}));
    EXPECT_EQ(Blocks(1024), (std::vector<B>{B{0, 1024, 0}}));
    EXPECT_EQ(Blocks(1025), (std::vector<B>{B{0, 1024, 0}, B{1024, 1, 99}}));
    EXPECT_TRUE(Blocks(0).empty());
}

TEST(FirmwareStream, LargeImagesCoverEveryByteAndNeverShow100)
{
    for (size_t size : {size_t{256} * 1024, kFirmwareMaxImageSize, kFirmwareMaxImageSize - 1}) {
        std::vector<FirmwareBlock> blocks = SplitFirmwareImage(size);
        size_t next = 0;
        int last = -1;
        for (const FirmwareBlock& b : blocks) {
            ASSERT_EQ(b.offset, next);
            ASSERT_GE(b.percent, last);
            next += b.size;
            last = b.percent;
        }
        EXPECT_EQ(next, size);
        EXPECT_EQ(last, 99);
    }
}
