#include "settings_record.h"

#include "../printers/baud_rate.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int kMaxSixteenBit = 0xFFFF;

void PutBigEndian16(int value, uint8_t bytes[2])
{
    bytes[0] = static_cast<uint8_t>((value >> 8) & 0xFF);
    bytes[1] = static_cast<uint8_t>(value & 0xFF);
}

bool FitsSixteenBits(int value)
{
    return value >= 0 && value <= kMaxSixteenBit;
}
}

int SelectBaudRateIndex(uint8_t code)
{
    return BaudRateIndexOfCode(code);
}

uint8_t GetBaudRateCode(int listIndex)
{
    return BaudRateCodeOfIndex(listIndex);
}

PrinterSettings SettingsFromRecord(const PrinterRecord& record)
{
    PrinterSettings s;
    std::memcpy(s.ip, record.ip, sizeof s.ip);
    std::memcpy(s.subnetMask, record.subnetMask, sizeof s.subnetMask);
    std::memcpy(s.gateway, record.gateway, sizeof s.gateway);
    s.localPort = static_cast<int>(RecordPort(record));
    s.inactivitySeconds = static_cast<int>(RecordInactivity(record));
    s.baudRateIndex = SelectBaudRateIndex(record.baudRateCode);
    s.dhcpMode = record.dhcpMode;  // shown as it stands, 1 or 0 from a printer
    return s;
}

void WriteSettingsToRecord(const PrinterSettings& settings, PrinterRecord& record)
{
    record.dhcpMode = settings.dhcpMode ? 1 : 0;
    std::memcpy(record.ip, settings.ip, sizeof record.ip);
    std::memcpy(record.subnetMask, settings.subnetMask, sizeof record.subnetMask);
    std::memcpy(record.gateway, settings.gateway, sizeof record.gateway);
    PutBigEndian16(settings.localPort, record.port);
    PutBigEndian16(settings.inactivitySeconds, record.inactivity);
    record.baudRateCode = GetBaudRateCode(settings.baudRateIndex);
}

std::string FirmwareVersionText(const PrinterRecord& record)
{
    char text[8];
    std::snprintf(text, sizeof text, "%d.%d", record.firmwareMajor, record.firmwareMinor);
    return text;
}

SaveProblem CheckSaveValues(int filledAddressFields, int localPort, int inactivitySeconds)
{
    // The binding needs an address and a port to connect to; the datagram must carry both numbers.
    if (filledAddressFields == 0 || localPort == 0)
        return SaveProblem::NoAddressOrPort;
    if (!FitsSixteenBits(localPort))
        return SaveProblem::LocalPortOutOfRange;
    if (!FitsSixteenBits(inactivitySeconds))
        return SaveProblem::InactivityOutOfRange;
    return SaveProblem::None;
}

uint32_t NetworkOrderAddress(const uint8_t ip[4])
{
    uint32_t address;
    std::memcpy(&address, ip, sizeof address);
    return address;
}
