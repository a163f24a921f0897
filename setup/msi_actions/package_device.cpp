#include "package_device.h"

#include "driver_package.h"
#include "handles.h"
#include "multi_string.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {
// The instance's hardware-ID list, empty when it has none.
std::vector<std::string> HardwareIds(HKEY ports, const char* instance)
{
    DWORD size = 0;
    if (::RegGetValueA(ports, instance, "HardwareID", RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::vector<BYTE> data(size);
    if (::RegGetValueA(ports, instance, "HardwareID", RRF_RT_REG_MULTI_SZ, nullptr, data.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    return SplitMultiString(data.data(), std::min<DWORD>(size, static_cast<DWORD>(data.size())));
}
}

DWORD PackageDevicePresent(bool* present)
{
    *present = false;
    UniqueHKey ports;
    LONG result = OpenRegKey(ports, HKEY_LOCAL_MACHINE, kRootPortsEnumKey, KEY_READ);
    if (result == ERROR_FILE_NOT_FOUND)
        return NO_ERROR;
    if (result != ERROR_SUCCESS)
        return static_cast<DWORD>(result);

    char instance[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof instance;
        result = ::RegEnumKeyExA(ports.Get(), index, instance, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            return NO_ERROR;
        if (result != ERROR_SUCCESS)
            return static_cast<DWORD>(result);
        std::vector<std::string> ids = HardwareIds(ports.Get(), instance);
        if (std::find(ids.begin(), ids.end(), kDriverHardwareId) != ids.end()) {
            *present = true;
            return NO_ERROR;
        }
    }
}
