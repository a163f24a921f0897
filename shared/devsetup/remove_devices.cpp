#include "device_setup.h"

#include "device_setup_report.h"
#include "driver_package.h"
#include "multi_string.h"
#include "setup_handles.h"

#include <mbstring.h>

namespace {
enum class HardwareIdRead {
    Read,         // buffer holds the device's hardware-ID list
    NoList,       // the device has no hardware-ID property
    Unreadable,   // the read failed otherwise
};

// Reads the device's hardware-ID list into buffer, sized as the platform asks. The first read has
// no buffer, so that the platform reports the size it needs. A platform that keeps asking for a
// buffer of no size (Wine does for a device whose registry key has gone) gets no second read:
// that loop would never end.
HardwareIdRead ReadHardwareIds(HDEVINFO set, SP_DEVINFO_DATA& device, UniqueLocalBuffer& buffer)
{
    DWORD required = 0;
    while (!::SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr, buffer.Get(),
                                                buffer.Size(), &required)) {
        DWORD error = ::GetLastError();
        if (error == ERROR_INVALID_DATA)
            return HardwareIdRead::NoList;
        if (error != ERROR_INSUFFICIENT_BUFFER || required == 0 || !buffer.Allocate(required))
            return HardwareIdRead::Unreadable;
    }
    return HardwareIdRead::Read;
}
}

void RemoveDevicesByHardwareId()
{
    UniqueDevInfo set(::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set.Valid())
        return;

    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(set.Get(), index, &device); ++index) {
        UniqueLocalBuffer hardwareIds;
        // A device whose list cannot be read is passed over like one without a list: the devices
        // after it are still looked at, so none of ours stays installed unreported.
        if (ReadHardwareIds(set.Get(), device, hardwareIds) != HardwareIdRead::Read)
            continue;
        // Every entry is compared, so an ID listed twice is removed twice (the second call fails).
        for (const std::string& id : SplitMultiString(hardwareIds.Get(), hardwareIds.Size())) {
            if (::_mbscmp(reinterpret_cast<const unsigned char*>(id.c_str()),
                          reinterpret_cast<const unsigned char*>(kDriverHardwareId)) != 0)
                continue;
            if (!::SetupDiCallClassInstaller(DIF_REMOVE, set.Get(), &device))
                ReportRemoveFailed();
        }
    }
}
