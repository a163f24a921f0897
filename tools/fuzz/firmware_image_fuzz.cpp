// libFuzzer target: a firmware image as read from the chosen file, cut into the stream the card
// takes. The length prefix and the blocks must carry every byte once, in order, in blocks of at
// most 1024 bytes, with percentages that never go back and stay below 100.
#include "net/firmware_stream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t size)
{
    std::array<uint8_t, 4> prefix = FirmwareLengthPrefix(static_cast<uint32_t>(size));
    uint32_t announced = static_cast<uint32_t>(prefix[0]) << 24 | static_cast<uint32_t>(prefix[1]) << 16 |
                         static_cast<uint32_t>(prefix[2]) << 8 | prefix[3];
    if (announced != size)
        __builtin_trap();

    size_t next = 0;
    int percent = 0;
    for (const FirmwareBlock& block : SplitFirmwareImage(size)) {
        if (block.offset != next || block.size == 0 || block.size > kFirmwareBlockSize)
            __builtin_trap();
        if (block.percent < percent || block.percent >= 100 || (block.offset == 0 && block.percent != 0))
            __builtin_trap();
        next += block.size;
        percent = block.percent;
    }
    if (next != size)
        __builtin_trap();
    return 0;
}
