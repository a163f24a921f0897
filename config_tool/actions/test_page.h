// The test page that "STEP 3 - Test Print" writes through a bound COM port, and the name the port is
// opened by. Plain C++: no Windows needed.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Six blocks, each written with one write call and each ending in at least one zero byte, which is
// written too: 33 + 31 + 31 + 35 + 32 + 33 bytes.
constexpr size_t kTestPageBlockCount = 6;
using TestPage = std::array<std::vector<uint8_t>, kTestPageBlockCount>;

// Block 4 is 35 bytes: 21 characters of text, the port name, at least one zero byte.
constexpr size_t kTestPagePortBlockSize = 35;
constexpr size_t kTestPageMaxPortName = 13;

// The maker line of block 5: exactly 29 characters.
extern const char kTestPageBanner[];

// The page for portName. False, leaving page alone, for a name longer than kTestPageMaxPortName:
// it cannot stand in block 4.
bool BuildTestPage(const std::string& portName, TestPage& page);

// The name CreateFile opens the port by: COM1..COM9 (at most 4 characters) as they stand, longer names
// through the device namespace ("\\.\COM10"), which is the only way COM10 and above can be opened.
std::string PortDevicePath(const std::string& portName);
