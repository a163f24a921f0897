#include "device_setup.h"

#include "device_setup_calls.h"
#include "device_setup_report.h"
#include "driver_package.h"
#include "multi_string.h"
#include "setup_handles.h"

#include <mbstring.h>

#include <algorithm>

namespace {
// A device's hardware-ID list as read from the platform, in a zero-filled block of the local heap.
struct HardwareIdList {
    UniqueLocalMemory memory;
    DWORD size = 0;
    const BYTE* Data() const { return static_cast<const BYTE*>(memory.Get()); }
};

// Reads the device's hardware-ID list, sized as the platform asks: the first read has no buffer,
// so that the platform reports the size it needs. Returns NO_ERROR with the list read, or the error
// of the read that failed (ERROR_INVALID_DATA: the device has no list). A platform that keeps
// asking for a buffer of no size (Wine does for a device whose registry key has gone) gets no
// second read: that loop would never end.
DWORD ReadHardwareIds(HDEVINFO set, SP_DEVINFO_DATA& device, HardwareIdList& list)
{
    DWORD required = 0;
    while (!::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr,
                                                static_cast<BYTE*>(list.memory.Get()), list.size, &required)) {
        DWORD error = ::GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER)
            return error;
        if (required == 0)
            return ERROR_INVALID_DATA;
        list.memory.Reset(::LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, required));
        if (!list.memory.Valid())
            return ERROR_NOT_ENOUGH_MEMORY;
        list.size = required;
    }
    return NO_ERROR;
}

// Whether the platform finished the device's removal only in part: its install parameters then
// ask for a restart.
bool RemovalNeedsRestart(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    SP_DEVINSTALL_PARAMS_A params = {};
    params.cbSize = sizeof params;
    return ::SetupDiGetDeviceInstallParamsA(set, &device, &params) &&
           (params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) != 0;
}

bool HoldsDriverHardwareId(const HardwareIdList& list)
{
    std::vector<std::string> ids = SplitMultiString(list.Data(), list.size);
    return std::any_of(ids.begin(), ids.end(), [](const std::string& id) {
        return ::_mbscmp(reinterpret_cast<const unsigned char*>(id.c_str()),
                         reinterpret_cast<const unsigned char*>(kDriverHardwareId)) == 0;
    });
}
}

void RemoveDevicesByHardwareId()
{
    UniqueDevInfo set(::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set.Valid()) {
        DWORD error = ::GetLastError();
        ReportDeviceListUnreadable(error);
        return;
    }

    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    DWORD index = 0;
    for (; ::SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        HardwareIdList hardwareIds;
        // A device whose list cannot be read is passed over like one without a list: the devices
        // after it are still looked at, so none of ours stays installed unreported.
        if (ReadHardwareIds(set.Get(), device, hardwareIds) != NO_ERROR)
            continue;
        // One removal per device, however often its list names the ID: a second call would fail
        // for a device that is already gone.
        if (!HoldsDriverHardwareId(hardwareIds))
            continue;
        if (!CallDeviceRemove(set.Get(), &device)) {
            DWORD error = ::GetLastError();
            ReportRemoveFailed(DeviceInstanceId(set.Get(), &device).c_str(), error);
        } else if (RemovalNeedsRestart(set.Get(), device)) {
            ReportRemovalNeedsRestart();
        }
    }
    // The walk ends with "no more items"; any other end left devices unseen.
    DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_ITEMS)
        ReportDeviceListUnreadable(error);
}

DWORD RemoveDeviceByPortName(const char* portName)
{
    UniqueDevInfo set(::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set.Valid())
        return ::GetLastError();

    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        HardwareIdList hardwareIds;
        if (ReadHardwareIds(set.Get(), device, hardwareIds) != NO_ERROR || !HoldsDriverHardwareId(hardwareIds))
            continue;
        // The port name the system gave the device, in its "Device Parameters".
        HKEY opened = ::SetupDiOpenDevRegKey(set.Get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        UniqueHKey parameters(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
        if (!parameters.Valid())
            continue;
        char name[64] = {0};
        DWORD type = 0;
        DWORD size = sizeof name - 1;
        if (::RegQueryValueExA(parameters.Get(), kPortNameValue, nullptr, &type, reinterpret_cast<BYTE*>(name),
                               &size) != ERROR_SUCCESS ||
            type != REG_SZ || ::lstrcmpiA(name, portName) != 0)
            continue;
        if (!CallDeviceRemove(set.Get(), &device))
            return ::GetLastError();
        return RemovalNeedsRestart(set.Get(), device) ? ERROR_SUCCESS_REBOOT_REQUIRED : NO_ERROR;
    }
    return ERROR_NOT_FOUND;
}
