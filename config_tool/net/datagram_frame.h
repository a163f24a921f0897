// The datagrams between the tool and the printers: four ASCII command letters, then for most
// commands a 26-byte PrinterRecord. UDP; the tool listens on 48780, printers on 48781, and every
// request is broadcast to 255.255.255.255.
#pragma once
#include "../printers/printer_record.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr long kToolUdpPort = 48780;
constexpr long kPrinterUdpPort = 48781;
constexpr const char kBroadcastHost[] = "255.255.255.255";
constexpr size_t kCommandSize = 4;
constexpr size_t kRecordFrameSize = kCommandSize + sizeof(PrinterRecord);  // 30
// Every received datagram is looked at through a zero-filled buffer of this size.
constexpr size_t kReceiveBufferSize = 512;

// The search request: "FIND", 4 bytes.
std::vector<uint8_t> MakeFindRequest();
// A search reply ("IMIN", at least 5 bytes). Returns false, leaving record alone, for anything else.
// Bytes 4..29 are the record; those a short reply does not cover read as 0, bytes past 29 are ignored.
bool ParseFindReply(const uint8_t* data, size_t length, PrinterRecord& record);

// The settings write: "SETT" followed by the record, 30 bytes.
std::vector<uint8_t> MakeSettingsDatagram(const PrinterRecord& record);
// The settings acknowledgement: at least 5 bytes beginning with "SETC".
bool IsSettingsAck(const uint8_t* data, size_t length);

// The firmware start: "FIRS" followed by the target printer's record, 30 bytes.
std::vector<uint8_t> MakeFirmwareStart(const PrinterRecord& record);
