// libFuzzer target: every received datagram goes through these, so none may read or write past the
// receive buffer whatever arrives; a reply's record then becomes a row of the printer list.
#include "net/datagram_frame.h"
#include "printers/printer_rows.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PrinterRecord record;
    if (ParseFindReply(data, size, record)) {
        // The record is the reply's bytes 4..29 (zeros past the datagram's end), unchanged.
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&record);
        for (size_t i = 0; i < sizeof record; ++i)
            if (bytes[i] != (4 + i < size ? data[4 + i] : 0))
                __builtin_trap();
        PrinterRow row = MakePrinterRow(1, record);
        if (row.cells[kColumnMac].size() != 17 || row.cells[3].size() > 5 || row.cells[2].empty())
            __builtin_trap();
        // What the tool sends back about this printer carries the record as it came.
        std::vector<uint8_t> frame = MakeSettingsDatagram(record);
        if (frame.size() != kRecordFrameSize || std::memcmp(frame.data() + kCommandSize, &record, sizeof record) != 0)
            __builtin_trap();
    }
    IsSettingsAck(data, size);
    return 0;
}
