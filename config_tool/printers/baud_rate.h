// Serial speeds of the printer's serial side: the code a record carries, and the item of the
// configuration dialog's Baudrate list (items in this order, index 0 "1200" ... index 8 "230400").
#pragma once
#include <cstdint>

constexpr int kBaudRateCount = 9;
extern const char* const kBaudRateTexts[kBaudRateCount];   // "1200", ..., "230400"
extern const uint8_t kBaudRateCodes[kBaudRateCount];       // 0xA0, ..., 0xBB (not in rate order)

// The list index of a code; -1 for a code not in the table.
int BaudRateIndexOfCode(uint8_t code);
// The code of a list index; 0xA0 (1200) for index 0 and for anything outside 1..8, no selection included.
uint8_t BaudRateCodeOfIndex(int index);
