// Printer records as the tests' printers report them: MAC 00:1a:2b:3d:4e:<macEnd>,
// 192.168.0.<ipEnd>/24 behind gateway 192.168.0.1, firmware 1.10, fixed address, inactivity 0.
#pragma once
#include "printers/printer_record.h"

#include <cstdint>
#include <cstring>
#include <vector>

inline PrinterRecord MakeRecord(uint8_t macEnd, uint8_t ipEnd, unsigned port = 515, uint8_t baudCode = 0xF4)
{
    const uint8_t bytes[26] = {0x00, 0x1A, 0x2B, 0x3D, 0x4E, macEnd,
                               192, 168, 0, ipEnd,
                               255, 255, 255, 0,
                               192, 168, 0, 1,
                               static_cast<uint8_t>(port >> 8), static_cast<uint8_t>(port & 0xFF),
                               baudCode,
                               1, 10,
                               0,
                               0, 0};
    PrinterRecord r;
    std::memcpy(&r, bytes, sizeof r);
    return r;
}

inline std::vector<uint8_t> RecordBytes(const PrinterRecord& r)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&r);
    return std::vector<uint8_t>(p, p + sizeof r);
}
