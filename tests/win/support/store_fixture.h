// Registry state for the configuration tests: the system's COM port devices as the port list reads
// them, and the port assignment store. Each test starts from none of either.
#pragma once
#include "driver_package.h"
#include "handles.h"
#include "store/store_keys.h"

#include <windows.h>
#include <shlwapi.h>
#include <sddl.h>

#include <string>

inline void ClearPortsAndStore()
{
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kRootPortsEnumKey);
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey);
}

// A root-enumerated Ports device as the system records it: Root\PORTS\<instance>\Device Parameters\PortName.
inline void AddPortDevice(const std::string& instance, const std::string& portName)
{
    UniqueHKey key;
    std::string path = std::string(kRootPortsEnumKey) + "\\" + instance + "\\Device Parameters";
    if (CreateRegKey(key, HKEY_LOCAL_MACHINE, path.c_str()) == ERROR_SUCCESS)
        ::RegSetValueExA(key.Get(), "PortName", 0, REG_SZ, reinterpret_cast<const BYTE*>(portName.c_str()),
                         static_cast<DWORD>(portName.size() + 1));
}

inline bool BindingExists(const std::string& port)
{
    UniqueHKey key;
    return OpenRegKey(key, HKEY_LOCAL_MACHINE, (std::string(kAssignmentStoreKey) + "\\" + port).c_str()) == ERROR_SUCCESS;
}

// The raw 4 bytes of a REG_DWORD value of a binding, as "" when it is missing or of another kind.
inline std::string BindingValueBytes(const std::string& port, const char* value)
{
    UniqueHKey key;
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, (std::string(kAssignmentStoreKey) + "\\" + port).c_str()) != ERROR_SUCCESS)
        return std::string();
    BYTE data[8] = {0};
    DWORD type = 0, size = sizeof data;
    if (::RegQueryValueExA(key.Get(), value, nullptr, &type, data, &size) != ERROR_SUCCESS || type != REG_DWORD)
        return std::string();
    return std::string(reinterpret_cast<const char*>(data), size);
}

inline void WriteBinding(const std::string& port, const BYTE ip[4], DWORD tcpPort)
{
    UniqueHKey key;
    if (CreateRegKey(key, HKEY_LOCAL_MACHINE, (std::string(kAssignmentStoreKey) + "\\" + port).c_str()) != ERROR_SUCCESS)
        return;
    DWORD address;
    memcpy(&address, ip, 4);
    DWORD networkPort = ((tcpPort & 0xFF) << 8) | ((tcpPort >> 8) & 0xFF);
    ::RegSetValueExA(key.Get(), "Port_", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&tcpPort), 4);
    ::RegSetValueExA(key.Get(), "IPAddress", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&address), 4);
    ::RegSetValueExA(key.Get(), "Port", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&networkPort), 4);
}

// Values and subkeys directly under the store's root (a binding without a port name would land there).
inline void StoreRootContents(DWORD& values, DWORD& subkeys)
{
    values = subkeys = 0;
    UniqueHKey key;
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, kAssignmentStoreKey) == ERROR_SUCCESS)
        ::RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                           nullptr, nullptr, nullptr);
}

// Makes the binding of port one the registry will not delete: a subkey under it with an empty access
// list, which nobody may open (as a key another account left can be). UnlockBinding undoes it, so
// that the store can be cleared.
inline bool LockBinding(const std::string& port)
{
    UniqueHKey key;
    std::string path = std::string(kAssignmentStoreKey) + "\\" + port + "\\Locked";
    if (CreateRegKey(key, HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR sd;
    ACL acl;
    return ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
           ::InitializeAcl(&acl, sizeof acl, ACL_REVISION) && ::SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE) &&
           ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
}

inline void UnlockBinding(const std::string& port)
{
    UniqueHKey key;
    std::string path = std::string(kAssignmentStoreKey) + "\\" + port + "\\Locked";
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, path.c_str(), WRITE_DAC) != ERROR_SUCCESS)
        return;
    SECURITY_DESCRIPTOR sd;
    if (::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) && ::SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE))
        ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &sd);
}

// Makes the binding of port one whose key may be read and deleted but not written, as a key another
// account owns can be. AllowWrites gives everyone every right on it again.
inline bool RefuseWrites(const std::string& port, const char* sddl = "D:(A;;0x30019;;;WD)")
{
    UniqueHKey key;
    std::string path = std::string(kAssignmentStoreKey) + "\\" + port;
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, path.c_str(), WRITE_DAC) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    bool set = ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    ::LocalFree(sd);
    return set;
}

inline void AllowWrites(const std::string& port)
{
    RefuseWrites(port, "D:(A;;KA;;;WD)");
}
