#include <winsock2.h>

#include "assignment_store.h"

#include "handles.h"
#include "store_keys.h"
#include "../printers/printer_list.h"

#include <shlwapi.h>

#include <cstring>
#include <string>

namespace {
std::string BindingKeyPath(const char* portName)
{
    return std::string(kAssignmentStoreKey) + "\\" + portName;
}
}

bool WriteAssignmentValue(const char* portName, const char* valueName, DWORD value)
{
    UniqueHKey key;
    if (CreateRegKey(key, HKEY_LOCAL_MACHINE, BindingKeyPath(portName).c_str(), KEY_WRITE) == ERROR_SUCCESS)
        ::RegSetValueExA(key.Get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    return true;
}

bool DeleteAssignment(const char* portName)
{
    if (!portName || std::strncmp(portName, "COM", 3) != 0)
        return false;
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, BindingKeyPath(portName).c_str());
    return true;
}

void WritePortBinding(const char* previousPort, const char* port, unsigned long ipAddress, int tcpPort)
{
    if (previousPort && std::strcmp(previousPort, kNotAssigned) != 0)
        DeleteAssignment(previousPort);
    // Without a port name the values would land under the store root itself.
    if (!port || !*port)
        return;
    WriteAssignmentValue(port, "Port_", static_cast<DWORD>(tcpPort));
    WriteAssignmentValue(port, "IPAddress", static_cast<DWORD>(ipAddress));
    WriteAssignmentValue(port, "Port", static_cast<DWORD>(htons(static_cast<u_short>(tcpPort & 0xFFFF))));
}
