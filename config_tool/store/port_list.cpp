#include "port_list.h"

#include "driver_package.h"
#include "handles.h"
#include "store_keys.h"

#include <algorithm>
#include <cstring>

namespace {
// "PortName" of the instance under parent (the device key, or HKEY_LOCAL_MACHINE with the whole
// path) into buffer; see ReadPortName.
void ReadPortNameUnder(HKEY parent, const std::string& instancePath, char* buffer, DWORD size)
{
    std::string path = instancePath + "\\" + kDeviceParametersKey;
    UniqueHKey key;
    if (OpenRegKey(key, parent, path.c_str()) != ERROR_SUCCESS)
        return;
    // Read into a buffer of our own first: a value that does not fit, or a string stored without its
    // terminator, must leave the caller's buffer as it was.
    char value[256] = {0};
    DWORD type = 0;
    DWORD length = sizeof value - 1;
    if (::RegQueryValueExA(key.Get(), kPortNameValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &length) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return;
    value[length < sizeof value ? length : sizeof value - 1] = '\0';
    size_t nameLength = std::strlen(value);
    if (nameLength + 1 > size)
        return;
    std::memcpy(buffer, value, nameLength + 1);
}
}

void ReadPortName(const char* instanceName, char* buffer, DWORD size)
{
    ReadPortNameUnder(HKEY_LOCAL_MACHINE, std::string(kRootPortsEnumKey) + "\\" + instanceName, buffer, size);
}

LONG ListPortNames(std::vector<std::string>& names)
{
    names.clear();
    UniqueHKey ports;
    LONG result = OpenRegKey(ports, HKEY_LOCAL_MACHINE, kRootPortsEnumKey);
    if (result != ERROR_SUCCESS)
        return result;
    ListPortNamesIn(ports.Get(), names);
    return ERROR_SUCCESS;
}

void ListPortNamesIn(HKEY ports, std::vector<std::string>& names)
{
    names.clear();
    for (DWORD index = 0;; ++index) {
        char instance[kPortNameBufferSize] = {0};
        DWORD instanceLength = kPortNameBufferSize;
        LONG result = ::RegEnumKeyExA(ports, index, instance, &instanceLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;  // an instance name too long for the buffer: not one of ours, passed over
        // The end of the list, or a key that cannot be read further (deleted meanwhile): no index
        // after this one answers, so the walk ends rather than asking forever.
        if (result != ERROR_SUCCESS)
            break;
        char portName[kPortNameBufferSize] = {0};
        ReadPortNameUnder(ports, instance, portName, sizeof portName);
        if (portName[0] != '\0' && std::find(names.begin(), names.end(), portName) == names.end())
            names.emplace_back(portName);
    }
}
