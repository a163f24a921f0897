// The system's root-enumerated COM ports, from the device registry
// (HKEY_LOCAL_MACHINE "SYSTEM\CurrentControlSet\Enum\Root\PORTS").
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Reads "PortName" (REG_SZ or REG_EXPAND_SZ) of the instance's "Device Parameters" into buffer
// (size bytes, NUL-terminated). On any failure, and for a name that does not fit, buffer is left as
// it was.
void ReadPortName(const char* instanceName, char* buffer, DWORD size);

// The port name of every root-enumerated Ports device, each distinct name once (exact,
// case-sensitive), in enumeration order. Instances whose name or port name does not fit a port-name
// buffer, or that have none, are passed over. Returns ERROR_SUCCESS, or the registry's error when
// the device key cannot be opened (names is then empty).
LONG ListPortNames(std::vector<std::string>& names);

// The same walk over the instances of an opened device key (ListPortNames opens it). The walk ends
// at the first index the registry does not answer with a name, whatever the reason: a key deleted
// while open answers every index with ERROR_KEY_DELETED.
void ListPortNamesIn(HKEY ports, std::vector<std::string>& names);
