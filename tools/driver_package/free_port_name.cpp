#include "free_port_name.h"

#include "driver_package.h"
#include "handles.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr const char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

void MarkTaken(const char* name, std::vector<bool>& taken)
{
    unsigned number = 0;
    if (ParseComPortNumber(name, &number))
        taken[number] = true;
}

// A REG_SZ value read whole into a string of its own (empty when missing or of another type).
std::string ReadStringValue(HKEY key, const char* valueName)
{
    char value[64] = {0};
    DWORD type = 0;
    DWORD size = sizeof value - 1;
    if (::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return std::string(value, ::strnlen(value, size));
}

void MarkPortNamesOfRootPorts(HKEY ports, std::vector<bool>& taken)
{
    if (!ports)
        return;
    for (DWORD index = 0;; ++index) {
        char instance[256] = {0};
        DWORD length = sizeof instance;
        LONG result = ::RegEnumKeyExA(ports, index, instance, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;  // a name longer than any instance's: passed over
        // The end, or a key that cannot be read further (deleted meanwhile): no later index answers.
        if (result != ERROR_SUCCESS)
            break;
        std::string path = std::string(instance) + "\\" + kDeviceParametersKey;
        UniqueHKey parameters;
        if (OpenRegKey(parameters, ports, path.c_str()) == ERROR_SUCCESS)
            MarkTaken(ReadStringValue(parameters.Get(), kPortNameValue).c_str(), taken);
    }
}

void MarkSystemSerialPorts(HKEY serialComm, std::vector<bool>& taken)
{
    if (!serialComm)
        return;
    for (DWORD index = 0;; ++index) {
        char valueName[256] = {0};
        DWORD nameLength = sizeof valueName;
        char value[64] = {0};
        DWORD type = 0;
        DWORD size = sizeof value - 1;
        LONG result = ::RegEnumValueA(serialComm, index, valueName, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(value), &size);
        if (result == ERROR_MORE_DATA)
            continue;  // a value too long for a port name
        if (result != ERROR_SUCCESS)
            break;  // the end, or a key that cannot be read further
        if (type == REG_SZ)
            MarkTaken(std::string(value, ::strnlen(value, size)).c_str(), taken);
    }
}
}

bool ParseComPortNumber(const char* name, unsigned* number)
{
    if (!name || ::_strnicmp(name, "COM", 3) != 0)
        return false;
    const char* digits = name + 3;
    size_t count = std::strlen(digits);
    if (count == 0 || count > 3 || digits[0] == '0')
        return false;
    unsigned value = 0;
    for (size_t i = 0; i < count; ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(digits[i] - '0');
    }
    if (value > kLastPortNumber)
        return false;
    *number = value;
    return true;
}

bool FindFreePortName(char* name, size_t size)
{
    UniqueHKey ports, serialComm;
    OpenRegKey(ports, HKEY_LOCAL_MACHINE, kRootPortsEnumKey);
    OpenRegKey(serialComm, HKEY_LOCAL_MACHINE, kSerialCommKey);
    return FindFreePortNameIn(ports.Get(), serialComm.Get(), name, size);
}

bool FindFreePortNameIn(HKEY rootPorts, HKEY serialComm, char* name, size_t size)
{
    std::vector<bool> taken(kLastPortNumber + 1, false);
    MarkPortNamesOfRootPorts(rootPorts, taken);
    MarkSystemSerialPorts(serialComm, taken);
    for (unsigned number = kFirstVirtualPortNumber; number <= kLastPortNumber; ++number) {
        if (taken[number])
            continue;
        char candidate[16];
        int length = std::snprintf(candidate, sizeof candidate, "COM%u", number);
        if (length < 0 || static_cast<size_t>(length) + 1 > size)
            return false;
        std::memcpy(name, candidate, static_cast<size_t>(length) + 1);
        return true;
    }
    return false;
}
