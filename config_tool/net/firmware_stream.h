// The firmware image stream a printer's Ethernet card takes on TCP port 48783, and its pacing:
// the image's length as 4 bytes, most significant first, then the image in blocks of 1024 bytes.
// Plain C++: no Windows needed.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr unsigned short kFirmwareTcpPort = 48783;
constexpr size_t kFirmwareBlockSize = 1024;
// The card needs these pauses whatever the network's speed: after the "FIRS" datagram before the
// connection, and after the length and each block but the last.
constexpr unsigned kFirmwareStartPauseMs = 1500;
constexpr unsigned kFirmwareBlockPauseMs = 600;
// The largest image the tool sends. The length field could say more, but at the fixed pacing a
// 16 MB image already takes close to three hours; anything larger is not a card's firmware.
constexpr size_t kFirmwareMaxImageSize = 16u * 1024u * 1024u;

// One block of the image: where it starts, how long it is, and the percentage shown once it has been
// sent (the share of the image that came before it, rounded down).
struct FirmwareBlock {
    size_t offset;
    size_t size;
    int percent;
};

// The 4 bytes that open the stream: size, most significant byte first.
std::array<uint8_t, 4> FirmwareLengthPrefix(uint32_t size);

// The blocks of an image of `size` bytes, in order; none for an empty image.
std::vector<FirmwareBlock> SplitFirmwareImage(size_t size);
