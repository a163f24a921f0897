// The configuration dialog's values and the printer record they are written into before a "SETT"
// goes out, plus the checks a Save makes first. Plain C++: no Windows needed.
#pragma once
#include "../printers/printer_record.h"

#include <cstdint>
#include <string>

// What the configuration dialog shows and edits, in the dialog's own terms.
struct PrinterSettings {
    uint8_t ip[4];
    uint8_t subnetMask[4];
    uint8_t gateway[4];
    int localPort;          // as typed; the record carries 16 bits
    int inactivitySeconds;  // as typed; the record carries 16 bits
    int baudRateIndex;      // item of the Baudrate list, -1 when none is selected
    int dhcpMode;           // check box state: 0 unchecked, anything else checked
};

// The Baudrate list item a record's code stands for; -1 (select nothing) for a code not in the table.
int SelectBaudRateIndex(uint8_t code);
// The code sent for a Baudrate list item: 1..8 their codes, 0xA0 (1200) for 0, no selection and
// anything else.
uint8_t GetBaudRateCode(int listIndex);

// The dialog's values as the record holds them (ports and times big-endian, baud code to list item).
PrinterSettings SettingsFromRecord(const PrinterRecord& record);
// Writes the values into the record in place. MAC and firmware version are left as they are; ports and
// times keep their low 16 bits (Save refuses larger values before this is reached).
void WriteSettingsToRecord(const PrinterSettings& settings, PrinterRecord& record);
// "%d.%d" of the firmware bytes: 1 and 10 give "1.10".
std::string FirmwareVersionText(const PrinterRecord& record);

// Why a Save must not go ahead, tested before anything is sent or written.
enum class SaveProblem {
    None,
    NoAddressOrPort,       // no IP Address field filled in, or Local Port 0
    LocalPortOutOfRange,   // the record's two bytes cannot carry it
    InactivityOutOfRange,  // likewise
};
SaveProblem CheckSaveValues(int filledAddressFields, int localPort, int inactivitySeconds);

// The IPv4 address as the port assignment store keeps it: a 32-bit value whose bytes in memory are
// the dotted parts in order (network byte order, what inet_addr gives for the dotted text).
uint32_t NetworkOrderAddress(const uint8_t ip[4]);
