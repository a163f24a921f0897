#include "test_page.h"

#include <cstring>

const char kTestPageBanner[] = " KELVARO KVRLANCOM Test Page ";
static_assert(sizeof kTestPageBanner == 29 + 1, "the maker line is 29 characters");

namespace {
constexpr char kRule[] = "===============================\n";
constexpr char kTitle[] = "  Virtual COM for USB Test   \n";
constexpr char kResult[] = "         Test is OK          \n";
constexpr char kPortLabel[] = "      Assinged Port :";
static_assert(sizeof kRule == 33 && sizeof kTitle == 31 && sizeof kResult == 31, "blocks 1 to 3");
static_assert(sizeof kPortLabel - 1 + kTestPageMaxPortName + 1 == kTestPagePortBlockSize, "block 4");

// The text with its terminating zero byte, as the block is written.
template <size_t N>
std::vector<uint8_t> TextBlock(const char (&text)[N])
{
    return std::vector<uint8_t>(text, text + N);
}
}

bool BuildTestPage(const std::string& portName, TestPage& page)
{
    if (portName.size() > kTestPageMaxPortName)
        return false;
    std::vector<uint8_t> portBlock(kTestPagePortBlockSize, 0);
    std::memcpy(portBlock.data(), kPortLabel, sizeof kPortLabel - 1);
    std::memcpy(portBlock.data() + sizeof kPortLabel - 1, portName.data(), portName.size());

    std::vector<uint8_t> bannerBlock;
    bannerBlock.push_back('\n');
    bannerBlock.insert(bannerBlock.end(), kTestPageBanner, kTestPageBanner + sizeof kTestPageBanner - 1);
    bannerBlock.push_back('\n');
    bannerBlock.push_back(0);

    page = {TextBlock(kRule), TextBlock(kTitle), TextBlock(kResult), portBlock, bannerBlock, TextBlock(kRule)};
    return true;
}

std::string PortDevicePath(const std::string& portName)
{
    return portName.size() <= 4 ? portName : "\\\\.\\" + portName;
}
