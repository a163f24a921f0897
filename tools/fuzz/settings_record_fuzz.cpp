// libFuzzer target: a printer's record as it arrives (26 bytes, zeros where the input is short) shown
// in the configuration dialog and written back unedited; then the dialog's values, as typed, checked
// and written into a record.
#include "net/settings_record.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {
template <typename T>
T Take(const uint8_t*& data, size_t& size)
{
    T value{};
    size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const PrinterRecord received = Take<PrinterRecord>(data, size);

    // Unedited, the record comes back as it was but for the two fields the dialog normalizes:
    // the DHCP flag becomes 0 or 1, and a baud code not in the table becomes the first item's.
    PrinterRecord written = received;
    WriteSettingsToRecord(SettingsFromRecord(received), written);
    PrinterRecord expected = received;
    expected.dhcpMode = received.dhcpMode ? 1 : 0;
    if (SelectBaudRateIndex(received.baudRateCode) < 0)
        expected.baudRateCode = GetBaudRateCode(-1);
    if (std::memcmp(&written, &expected, sizeof written) != 0)
        __builtin_trap();
    if (FirmwareVersionText(received).size() > 7)  // "255.255"
        __builtin_trap();

    // Typed values: a Save that passes the checks writes exactly them.
    PrinterSettings typed = Take<PrinterSettings>(data, size);
    int filled = Take<int>(data, size);
    if (CheckSaveValues(filled, typed.localPort, typed.inactivitySeconds) == SaveProblem::None) {
        PrinterRecord saved = received;
        WriteSettingsToRecord(typed, saved);
        if (RecordPort(saved) != static_cast<unsigned>(typed.localPort) ||
            RecordInactivity(saved) != static_cast<unsigned>(typed.inactivitySeconds) ||
            std::memcmp(saved.mac, received.mac, sizeof saved.mac) != 0 ||
            NetworkOrderAddress(saved.ip) != NetworkOrderAddress(typed.ip))
            __builtin_trap();
        if (SelectBaudRateIndex(saved.baudRateCode) < 0)
            __builtin_trap();
    }
    return 0;
}
