#include "device_setup.h"

#include "device_setup_report.h"
#include "setup_handles.h"

// The path is taken by value, as every program's caller hands it over.
// cppcheck-suppress passedByValue
int InstallFromInf(std::string infPath, const char* hardwareId)
{
    // The search only tells whether the INF is there; it is closed before the install starts.
    WIN32_FIND_DATAA found;
    {
        UniqueFindHandle search(::FindFirstFileA(infPath.c_str(), &found));
        if (!search.Valid()) {
            ReportInfNotFound(::GetLastError());
            return INSTALL_FAILED;
        }
    }

    BOOL rebootRequired = FALSE;
    if (!InstallRootDevice(hardwareId, infPath.c_str(), &rebootRequired))
        return INSTALL_FAILED;

    ReportDeviceInstalled(rebootRequired);
    return rebootRequired ? INSTALL_REBOOT : INSTALL_OK;
}
