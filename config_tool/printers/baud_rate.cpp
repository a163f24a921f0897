#include "baud_rate.h"

const char* const kBaudRateTexts[kBaudRateCount] = {"1200", "2400", "4800", "9600", "19200",
                                                    "38400", "57600", "115200", "230400"};
const uint8_t kBaudRateCodes[kBaudRateCount] = {0xA0, 0xD0, 0xE8, 0xF4, 0xFA, 0xFD, 0xFE, 0xFF, 0xBB};

int BaudRateIndexOfCode(uint8_t code)
{
    for (int i = 0; i < kBaudRateCount; ++i)
        if (kBaudRateCodes[i] == code)
            return i;
    return -1;
}

uint8_t BaudRateCodeOfIndex(int index)
{
    return (index >= 1 && index < kBaudRateCount) ? kBaudRateCodes[index] : kBaudRateCodes[0];
}
