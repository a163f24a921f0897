// libFuzzer target: every received datagram goes through these, so none may read or write past the
// receive buffer whatever arrives.
#include "net/datagram_frame.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrinterRecord record;
    if (ParseFindReply(data, size, record)) {
        // The record is the reply's bytes 4..29 (zeros past the datagram's end), unchanged.
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
        for (size_t i = 0; i < sizeof record; ++i)
            if (bytes[i] != (4 + i < size ? data[4 + i] : 0))
                __builtin_trap();
    }
    IsSettingsAck(data, size);
    return 0;
}
