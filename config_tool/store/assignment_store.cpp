#include <winsock2.h>

#include "assignment_store.h"
#include "binding_value_write.h"

#include "handles.h"
#include "machine_keys.h"
#include "store_keys.h"

#include <cstring>
#include <string>
#include <vector>

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

namespace {
constexpr const char* kBindingValues[] = {"Port_", "IPAddress", "Port"};

LONG RegistryValueWrite(HKEY key, const char* valueName, DWORD value)
{
    return ::RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

BindingValueWriteCall g_valueWrite = RegistryValueWrite;

// Registry key names match in any letter case: com3 and COM3 are one key.
bool SamePortKey(const char* a, const char* b)
{
    return ::lstrcmpiA(a, b) == 0;
}

// One value of a key as it was, to be put back.
struct SavedValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

SavedValue SaveValue(HKEY key, const char* name)
{
    SavedValue saved;
    DWORD size = 0;
    if (::RegQueryValueExA(key, name, nullptr, &saved.type, nullptr, &size) != ERROR_SUCCESS)
        return saved;
    saved.data.resize(size);
    if (::RegQueryValueExA(key, name, nullptr, &saved.type, saved.data.data(), &size) == ERROR_SUCCESS) {
        saved.data.resize(size);
        saved.present = true;
    }
    return saved;
}

LONG RestoreValue(HKEY key, const char* name, const SavedValue& saved)
{
    if (!saved.present) {
        LONG result = ::RegDeleteValueA(key, name);
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    }
    return ::RegSetValueExA(key, name, 0, saved.type, saved.data.data(), static_cast<DWORD>(saved.data.size()));
}

bool IsBindingValue(const char* name)
{
    for (const char* value : kBindingValues) {
        if (::lstrcmpiA(name, value) == 0)
            return true;
    }
    return false;
}

// What the key held besides the binding's three values: values and subkeys of an earlier writer.
// The first error, after trying every item.
LONG RemoveLeftovers(HKEY key, const std::string& path)
{
    LONG first = ERROR_SUCCESS;
    auto keep = [&first](LONG result) {
        if (first == ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            first = result;
    };
    std::vector<std::string> values, subkeys;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        if (::RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (!IsBindingValue(name))
            values.emplace_back(name);
    }
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        if (::RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.emplace_back(name);
    }
    for (const std::string& name : values)
        keep(::RegDeleteValueA(key, name.c_str()));
    for (const std::string& name : subkeys)
        keep(DeleteMachineKeyTree((path + "\\" + name).c_str()));
    return first;
}

// Writes the binding's three values into port's key, in their order, over what it held. Until all
// three are written nothing else is touched: a write the registry refuses puts back the values
// already written (and removes a key this call made), so that the earlier binding stays exactly as
// it was. Only then go the leftovers of the earlier binding; failing that is leftoverError.
void ReplaceBinding(const char* port, unsigned long ipAddress, int tcpPort, BindingOutcome& outcome,
                    LONG& leftoverError)
{
    const std::string path = BindingKeyPath(port);
    UniqueHKey key;
    DWORD disposition = 0;
    LONG result = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS | kMachineView,
                                    nullptr, key.Put(), &disposition);
    if (result != ERROR_SUCCESS) {
        outcome.writeError = result;
        return;
    }
    const DWORD values[] = {static_cast<DWORD>(tcpPort), static_cast<DWORD>(ipAddress),
                            static_cast<DWORD>(htons(static_cast<u_short>(tcpPort & 0xFFFF)))};
    SavedValue saved[3];
    for (size_t i = 0; i < 3; ++i) {
        saved[i] = SaveValue(key.Get(), kBindingValues[i]);
        result = g_valueWrite(key.Get(), kBindingValues[i], values[i]);
        if (result == ERROR_SUCCESS)
            continue;
        outcome.writeError = result;
        for (size_t j = 0; j < i && outcome.restoreError == ERROR_SUCCESS; ++j)
            outcome.restoreError = RestoreValue(key.Get(), kBindingValues[j], saved[j]);
        key.Reset();
        if (disposition == REG_CREATED_NEW_KEY && outcome.restoreError == ERROR_SUCCESS)
            outcome.restoreError = DeleteMachineKeyTree(path.c_str());
        return;
    }
    leftoverError = RemoveLeftovers(key.Get(), path);
}
}

BindingValueWriteCall ReplaceBindingValueWriteCall(BindingValueWriteCall call)
{
    BindingValueWriteCall previous = g_valueWrite;
    g_valueWrite = call ? call : RegistryValueWrite;
    return previous;
}

BindingOutcome WritePortBinding(const char* previousPort, const char* port, unsigned long ipAddress, int tcpPort)
{
    BindingOutcome outcome;
    const bool hasPort = port && *port;
    // Saving on the port bound before rewrites its key in place: it is never deleted first, so a
    // write that fails leaves that binding as it was.
    const bool samePort = hasPort && previousPort && SamePortKey(previousPort, port);
    // A previous name that is no COM port (an empty cell of a stale row) has nothing to delete.
    if (previousPort && std::strcmp(previousPort, kNotAssigned) != 0 && !samePort) {
        LONG deleted = DeleteAssignment(previousPort);
        if (deleted != ERROR_INVALID_NAME) {
            outcome.previousPort = previousPort;
            outcome.removeError = deleted;
        }
    }
    if (!hasPort)
        return outcome;
    outcome.port = port;
    LONG leftoverError = ERROR_SUCCESS;
    ReplaceBinding(port, ipAddress, tcpPort, outcome, leftoverError);
    // What the earlier binding of this very port left beside the new values counts as its removal:
    // the binding itself is as asked.
    if (samePort) {
        outcome.previousPort = previousPort;
        outcome.removeError = leftoverError;
    }
    return outcome;
}
