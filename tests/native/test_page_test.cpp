#include "actions/test_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
std::string Joined(const TestPage& page)
{
    std::string all;
    for (const auto& block : page)
        all.append(block.begin(), block.end());
    return all;
}
}

TEST(TestPage, Com3PageIsExactly195BytesWithItsZeroBytes)
{
    TestPage page;
    ASSERT_TRUE(BuildTestPage("COM3", page));
    const std::string rule = std::string(31, '=') + "\n" + std::string(1, '\0');
    const std::string expected = rule +
                                 std::string("  Virtual COM for USB Test   \n") + '\0' +
                                 std::string("         Test is OK          \n") + '\0' +
                                 std::string("      Assinged Port :COM3") + std::string(10, '\0') +
                                 "\n" + kTestPageBanner + "\n" + '\0' +
                                 rule;
    EXPECT_EQ(Joined(page), expected);
    ASSERT_EQ(expected.size(), 195u);

    const size_t sizes[kTestPageBlockCount] = {33, 31, 31, 35, 32, 33};
    for (size_t i = 0; i < kTestPageBlockCount; ++i) {
        EXPECT_EQ(page[i].size(), sizes[i]) << "block " << i + 1;
        EXPECT_EQ(page[i].back(), 0) << "block " << i + 1 << " ends in a zero byte";
    }
    EXPECT_EQ(page[0], page[5]);
}

TEST(TestPage, PortLineHoldsNamesUpTo13CharactersAndRefusesLonger)
{
    TestPage page;
    ASSERT_TRUE(BuildTestPage("COM10", page));
    EXPECT_EQ(std::string(page[3].begin(), page[3].end()),
              std::string("      Assinged Port :COM10") + std::string(9, '\0'));

    ASSERT_TRUE(BuildTestPage("ABCDEFGHIJKLM", page));  // 13: one zero byte left
    EXPECT_EQ(page[3].size(), 35u);
    EXPECT_EQ(std::string(page[3].begin(), page[3].end() - 1), "      Assinged Port :ABCDEFGHIJKLM");
    EXPECT_EQ(page[3].back(), 0);

    TestPage untouched;
    untouched[0] = {1, 2, 3};
    EXPECT_FALSE(BuildTestPage("ABCDEFGHIJKLMN", untouched));  // 14
    EXPECT_EQ(untouched[0], (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(BuildTestPage(std::string(300, 'X'), untouched));

    ASSERT_TRUE(BuildTestPage("", page));  // a stale row's empty cell: the open fails later
    EXPECT_EQ(std::string(page[3].begin(), page[3].end()),
              std::string("      Assinged Port :") + std::string(14, '\0'));
}

TEST(TestPage, ShortNamesOpenPlainlyLongerOnesThroughTheDeviceNamespace)
{
    EXPECT_EQ(PortDevicePath("COM3"), "COM3");
    EXPECT_EQ(PortDevicePath("COM9"), "COM9");
    EXPECT_EQ(PortDevicePath("COM10"), "\\\\.\\COM10");
    EXPECT_EQ(PortDevicePath("COM256"), "\\\\.\\COM256");
    EXPECT_EQ(PortDevicePath(""), "");
}
