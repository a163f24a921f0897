// The hardware-ID list walk: never past the size the platform reported.
#include "multi_string.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> Split(const char* bytes, DWORD size)
{
    return SplitMultiString(reinterpret_cast<const BYTE*>(bytes), size);
}
}

TEST(SplitMultiString, StopsAtTheClosingEmptyStringOrAtTheEndOfTheReportedSize)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(Split("kelvaro\\tcpsio\0\0", 16), List{"kelvaro\\tcpsio"});
    EXPECT_EQ(Split("a\0kelvaro\\tcpsio\0\0ignored\0", 26), (List{"a", "kelvaro\\tcpsio"}));
    EXPECT_EQ(Split("\0\0", 2), List{});
    EXPECT_EQ(Split("", 0), List{});
    // Cut short: no closing empty string, then a last string without its terminator. The bytes
    // after the reported size ("XYZ") are never looked at.
    EXPECT_EQ(Split("a\0b\0XYZ", 4), (List{"a", "b"}));
    EXPECT_EQ(Split("a\0kelvaro\\tcpsioXYZ", 16), (List{"a", "kelvaro\\tcpsio"}));
}
