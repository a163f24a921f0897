// Choosing a COM port name for a new virtual port where the system gives it none.
#pragma once
#include <windows.h>

#include <cstddef>

// Virtual ports are numbered from COM3 up: COM1 and COM2 stay with the machine's own serial ports.
constexpr unsigned kFirstVirtualPortNumber = 3;
constexpr unsigned kLastPortNumber = 256;

// True when name is "COM" (any letter case) followed by a port number 1..kLastPortNumber without
// leading zeros; *number receives it.
bool ParseComPortNumber(const char* name, unsigned* number);

// The lowest COMn, n >= kFirstVirtualPortNumber, that is neither the "PortName" of a root-enumerated
// Ports device (Enum\Root\PORTS\<instance>\Device Parameters) nor one of the system's serial ports
// (the values of HARDWARE\DEVICEMAP\SERIALCOMM). Writes it NUL-terminated into name (size bytes);
// false, writing nothing, when every number is taken or the name does not fit.
bool FindFreePortName(char* name, size_t size);

// The same choice from opened keys (FindFreePortName opens them; either may be null: nothing is
// taken there). Each scan ends at the first index the registry does not answer, whatever the
// reason: a key deleted while open answers every index with ERROR_KEY_DELETED.
bool FindFreePortNameIn(HKEY rootPorts, HKEY serialComm, char* name, size_t size);
