#include "port_devices.h"

#include "device_setup.h"
#include "driver_package.h"

DWORD AddPackagePort(const std::string& folder)
{
    std::string infPath = folder + "\\" + kDriverInfName;
    if (::GetFileAttributesA(infPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ::GetLastError();
    // Nobody may be at the screen (a script run as SYSTEM): what would need an answer fails instead.
    SetUnattendedDriverInstall(true);
    switch (InstallFromInf(infPath, kDriverHardwareId)) {
    case INSTALL_OK:
        return ERROR_SUCCESS;
    case INSTALL_REBOOT:
        return ERROR_SUCCESS_REBOOT_REQUIRED;
    default: {
        DWORD error = ::GetLastError();
        return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
    }
    }
}

DWORD RemovePackagePort(const std::string& portName)
{
    return RemoveDeviceByPortName(portName.c_str());
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {0};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return ".";
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? "." : folder.substr(0, slash);
}
