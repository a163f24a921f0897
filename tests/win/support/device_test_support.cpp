#include "device_test_support.h"

#include "handles.h"
#include "test_coinstaller_control.h"

#include <cfgmgr32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

const TestClass kPortsClass = {"Ports", {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}}};
const TestClass kRefusingClass = {"KvrTestRefusing", {0x7a1c53e0, 0x3b7e, 0x4c2a, {0x9d, 0x51, 0x10, 0x6e, 0x2f, 0x8a, 0x41, 0x01}}};
const TestClass kCompanionClass = {"KvrTestCompanion", {0x7a1c53e0, 0x3b7e, 0x4c2a, {0x9d, 0x51, 0x10, 0x6e, 0x2f, 0x8a, 0x41, 0x02}}};

namespace {
constexpr const char kEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\";
constexpr const char kCoDeviceInstallersKey[] = "SYSTEM\\CurrentControlSet\\Control\\CoDeviceInstallers";
const char* const kPackageFiles[] = {"kvrlancom.INF", "kvrlancom_portname.dll"};

void SetValue(const std::string& keyPath, const char* name, DWORD type, const std::string& data)
{
    UniqueHKey key;
    if (CreateRegKey(key, HKEY_LOCAL_MACHINE, keyPath.c_str()) == ERROR_SUCCESS)
        ::RegSetValueExA(key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
}

std::vector<std::string> ReadHardwareIds(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    DWORD size = 0;
    ::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr, nullptr, 0, &size);
    std::vector<char> list(size + 2, '\0');
    std::vector<std::string> ids;
    if (size && ::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr,
                                                    reinterpret_cast<BYTE*>(list.data()), size, nullptr))
        for (const char* id = list.data(); *id; id += std::strlen(id) + 1)
            ids.emplace_back(id);
    return ids;
}

std::string ReadPortName(const std::string& instanceId)
{
    char name[256] = {0};
    DWORD size = sizeof name - 1;
    UniqueHKey key;
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, (kEnumKey + instanceId + "\\Device Parameters").c_str()) == ERROR_SUCCESS)
        ::RegQueryValueExA(key.Get(), "PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
    return name;
}
}

PackageFolder::PackageFolder(bool withPackage)
{
    char temp[MAX_PATH] = {0};
    char name[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, temp);
    ::GetTempFileNameA(temp, "kvr", 0, name);  // a unique name, made as a file: turned into a folder
    ::DeleteFileA(name);
    ::CreateDirectoryA(name, nullptr);
    m_path = name;
    std::string source = KVR_DRIVER_PACKAGE_DIR;
    std::replace(source.begin(), source.end(), '/', '\\');
    for (const char* file : kPackageFiles)
        if (withPackage)
            ::CopyFileA((source + "\\" + file).c_str(), (m_path + "\\" + file).c_str(), FALSE);
}

PackageFolder::~PackageFolder()
{
    for (const char* file : kPackageFiles)
        ::DeleteFileA((m_path + "\\" + file).c_str());
    ::RemoveDirectoryA(m_path.c_str());
}

void PackageFolder::WriteInf(const char* text) const
{
    UniqueKernelHandle file(::CreateFileA(InfPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

std::vector<DeviceRecord> PresentDevices()
{
    std::vector<DeviceRecord> devices;
    HDEVINFO set = ::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA device = {sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    for (DWORD index = 0; set != INVALID_HANDLE_VALUE && ::SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        char id[MAX_DEVICE_ID_LEN] = {0};
        ::SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof id, nullptr);
        devices.push_back({id, ReadHardwareIds(set, device), ReadPortName(id)});
    }
    if (set != INVALID_HANDLE_VALUE)
        ::SetupDiDestroyDeviceInfoList(set);
    return devices;
}

std::vector<DeviceRecord> DevicesWithHardwareId(const char* id)
{
    std::vector<DeviceRecord> devices = PresentDevices();
    devices.erase(std::remove_if(devices.begin(), devices.end(), [id](const DeviceRecord& device) {
                      return std::find(device.hardwareIds.begin(), device.hardwareIds.end(), id) == device.hardwareIds.end();
                  }), devices.end());
    return devices;
}

int EnumerationIndex(const std::string& instanceId)
{
    std::vector<DeviceRecord> devices = PresentDevices();
    for (size_t i = 0; i < devices.size(); ++i)
        if (::lstrcmpiA(devices[i].instanceId.c_str(), instanceId.c_str()) == 0)
            return static_cast<int>(i);
    return -1;
}

std::string RegisterDevice(const TestClass& cls, const std::vector<std::string>* hardwareIds)
{
    std::string list;
    for (const std::string& id : hardwareIds ? *hardwareIds : std::vector<std::string>())
        list.append(id).push_back('\0');
    list.push_back('\0');
    HDEVINFO set = ::SetupDiCreateDeviceInfoList(&cls.guid, nullptr);
    SP_DEVINFO_DATA device = {sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    char instanceId[MAX_DEVICE_ID_LEN] = {0};
    if (::SetupDiCreateDeviceInfoA(set, cls.name, &cls.guid, nullptr, nullptr, DICD_GENERATE_ID, &device) &&
        (!hardwareIds || ::SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                                             reinterpret_cast<const BYTE*>(list.data()),
                                                             static_cast<DWORD>(list.size()))) &&
        ::SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &device))
        ::SetupDiGetDeviceInstanceIdA(set, &device, instanceId, sizeof instanceId, nullptr);
    ::SetupDiDestroyDeviceInfoList(set);
    return instanceId;
}

void SetPortName(const std::string& instanceId, const char* portName)
{
    SetValue(kEnumKey + instanceId + "\\Device Parameters", "PortName", REG_SZ, std::string(portName) + '\0');
}

bool RemoveDevice(const std::string& instanceId)
{
    HDEVINFO set = ::SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA device = {sizeof(SP_DEVINFO_DATA), {}, 0, 0};
    bool removed = ::SetupDiOpenDeviceInfoA(set, instanceId.c_str(), nullptr, 0, &device) &&
                   ::SetupDiCallClassInstaller(DIF_REMOVE, set, &device);
    ::SetupDiDestroyDeviceInfoList(set);
    return removed;
}

BOOL RemovalDeferredToRestart(HDEVINFO set, SP_DEVINFO_DATA* device)
{
    SP_DEVINSTALL_PARAMS_A params = {};
    params.cbSize = sizeof params;
    return ::SetupDiGetDeviceInstallParamsA(set, device, &params) &&
           (params.Flags |= DI_NEEDREBOOT, ::SetupDiSetDeviceInstallParamsA(set, device, &params));
}

void RemoveAllPackageDevices()
{
    for (const DeviceRecord& device : DevicesWithHardwareId("kelvaro\\tcpsio"))
        RemoveDevice(device.instanceId);
}

ClassCoInstaller::ClassCoInstaller(const TestClass& cls, const char* entry)
{
    char guid[40];
    const GUID& g = cls.guid;
    std::snprintf(guid, sizeof guid, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned long>(g.Data1),
                  g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    m_valueName = guid;
    std::string list = ProgramFolder() + "\\" + kTestCoInstallerDll + "," + entry;
    SetValue(kCoDeviceInstallersKey, m_valueName.c_str(), REG_MULTI_SZ, list + '\0' + '\0');
}

ClassCoInstaller::~ClassCoInstaller()
{
    UniqueHKey key;
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, kCoDeviceInstallersKey, KEY_SET_VALUE) == ERROR_SUCCESS)
        ::RegDeleteValueA(key.Get(), m_valueName.c_str());
}

void TakeAwayAtNextRemoval(const std::string& instanceId, bool inSameSet)
{
    SetValue(kTestCoInstallerControlKey, inSameSet ? kRemoveInSameSetValue : kDeleteKeyValue, REG_SZ, instanceId + '\0');
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {0};
    std::string folder(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ReadInf(const std::string& path)
{
    std::string text;
    UniqueKernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char chunk[4096];
    DWORD got = 0;
    while (file.Valid() && ::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}
