#include "firmware_stream.h"

std::array<uint8_t, 4> FirmwareLengthPrefix(uint32_t size)
{
    return {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 8),
            static_cast<uint8_t>(size)};
}

std::vector<FirmwareBlock> SplitFirmwareImage(size_t size)
{
    std::vector<FirmwareBlock> blocks;
    for (size_t offset = 0; offset < size; offset += kFirmwareBlockSize) {
        size_t left = size - offset;
        // 64-bit product: offset * 100 overflows 32 bits from 43 MB on.
        int percent = static_cast<int>(static_cast<unsigned long long>(offset) * 100u / size);
        blocks.push_back({offset, left < kFirmwareBlockSize ? left : kFirmwareBlockSize, percent});
    }
    return blocks;
}
