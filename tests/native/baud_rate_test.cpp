#include "printers/baud_rate.h"

#include <gtest/gtest.h>

TEST(BaudRate, EveryCodeMapsToItsListItemAndBack)
{
    const int rates[kBaudRateCount] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};
    for (int i = 0; i < kBaudRateCount; ++i) {
        EXPECT_EQ(std::atoi(kBaudRateTexts[i]), rates[i]);
        EXPECT_EQ(BaudRateIndexOfCode(kBaudRateCodes[i]), i);
        EXPECT_EQ(BaudRateCodeOfIndex(i), kBaudRateCodes[i]);
    }
    EXPECT_EQ(BaudRateCodeOfIndex(8), 0xBB);  // 230400 is last though its code is not the largest
}

TEST(BaudRate, UnknownCodesSelectNothingAndNoSelectionSends1200)
{
    EXPECT_EQ(BaudRateIndexOfCode(0x10), -1);
    EXPECT_EQ(BaudRateIndexOfCode(0x00), -1);
    EXPECT_EQ(BaudRateCodeOfIndex(-1), 0xA0);  // no item selected
    EXPECT_EQ(BaudRateCodeOfIndex(9), 0xA0);
    EXPECT_EQ(BaudRateCodeOfIndex(0), 0xA0);
}
