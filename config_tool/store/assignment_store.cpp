#include <winsock2.h>

#include "assignment_store.h"

#include "handles.h"
#include "machine_keys.h"
#include "store_keys.h"

#include <cstring>
#include <string>

namespace {
std::string BindingKeyPath(const char* portName)
{
    return std::string(kAssignmentStoreKey) + "\\" + portName;
}

// A REG_DWORD value of an open key; false when it is missing or of another kind.
bool ReadDword(HKEY key, const char* valueName, DWORD& value)
{
    DWORD type = 0;
    DWORD size = sizeof value;
    return ::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof value;
}

// "IPAddress" of one binding key; false when it is missing or not a REG_DWORD.
bool ReadBindingAddress(HKEY store, const char* name, uint32_t& ip)
{
    UniqueHKey binding;
    if (OpenRegKey(binding, store, name, KEY_READ | kMachineView) != ERROR_SUCCESS)
        return false;
    DWORD value = 0;
    if (!ReadDword(binding.Get(), "IPAddress", value))
        return false;
    ip = value;
    return true;
}
}

LONG ReadPortBindings(PortBindings& bindings)
{
    bindings.clear();
    UniqueHKey store;
    LONG result = OpenRegKey(store, HKEY_LOCAL_MACHINE, kAssignmentStoreKey, KEY_READ | kMachineView);
    if (result != ERROR_SUCCESS)
        return result;
    for (DWORD index = 0;; ++index) {
        char name[kPortNameBufferSize] = {0};
        DWORD nameLength = kPortNameBufferSize;
        result = ::RegEnumKeyExA(store.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;  // longer than any port name: not a binding
        // The end of the list, or a store that cannot be read further (deleted meanwhile, say):
        // either way no index after this one answers.
        if (result != ERROR_SUCCESS)
            break;
        uint32_t ip = 0;
        if (ReadBindingAddress(store.Get(), name, ip))
            bindings.push_back(PortBinding{name, ip});
    }
    return ERROR_SUCCESS;
}

std::string FindAssignedPort(unsigned long ip)
{
    PortBindings bindings;
    ReadPortBindings(bindings);
    return AssignedPortOf(bindings, static_cast<uint32_t>(ip));
}

int ReadBindingTcpPort(const char* portName)
{
    UniqueHKey binding;
    if (OpenRegKey(binding, HKEY_LOCAL_MACHINE, BindingKeyPath(portName).c_str(), KEY_READ | kMachineView) !=
        ERROR_SUCCESS)
        return -1;
    DWORD value = 0;
    if (ReadDword(binding.Get(), "Port", value))
        return ntohs(static_cast<u_short>(value & 0xFFFF));
    if (ReadDword(binding.Get(), "Port_", value) && value <= 0xFFFF)
        return static_cast<int>(value);
    return -1;
}

LONG WriteAssignmentValue(const char* portName, const char* valueName, DWORD value)
{
    UniqueHKey key;
    LONG result = CreateRegKey(key, HKEY_LOCAL_MACHINE, BindingKeyPath(portName).c_str(), KEY_WRITE | kMachineView);
    if (result != ERROR_SUCCESS)
        return result;
    return ::RegSetValueExA(key.Get(), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LONG DeleteAssignment(const char* portName)
{
    if (!portName || std::strncmp(portName, "COM", 3) != 0)
        return ERROR_INVALID_NAME;
    LONG result = DeleteMachineKeyTree(BindingKeyPath(portName).c_str());
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

BindingOutcome WritePortBinding(const char* previousPort, const char* port, unsigned long ipAddress, int tcpPort)
{
    BindingOutcome outcome;
    // A previous name that is no COM port (an empty cell of a stale row) has nothing to delete.
    if (previousPort && std::strcmp(previousPort, kNotAssigned) != 0) {
        LONG deleted = DeleteAssignment(previousPort);
        if (deleted != ERROR_INVALID_NAME) {
            outcome.previousPort = previousPort;
            outcome.removeError = deleted;
        }
    }
    if (!port || !*port)
        return outcome;
    outcome.port = port;
    auto keep = [&outcome](LONG result) {
        if (outcome.writeError == ERROR_SUCCESS)
            outcome.writeError = result;
    };
    keep(WriteAssignmentValue(port, "Port_", static_cast<DWORD>(tcpPort)));
    keep(WriteAssignmentValue(port, "IPAddress", static_cast<DWORD>(ipAddress)));
    keep(WriteAssignmentValue(port, "Port", static_cast<DWORD>(htons(static_cast<u_short>(tcpPort & 0xFFFF)))));
    return outcome;
}
