// How the uninstaller (kvrlancom_uninstaller) reports from the device setup routines.
#include "device_setup_report.h"

#include "failed_steps.h"

#include <string>

void ReportRemoveFailed(const char* instanceId, DWORD error)
{
    // No box: the uninstall goes on. A quiet run names the device and fails.
    RecordFailedStep(std::string("Removing the device ") + instanceId, error);
}

void ReportDeviceListUnreadable(DWORD error)
{
    RecordFailedStep("Listing the present devices", error);
}

void ReportRemovalNeedsRestart()
{
    RecordRestartNeeded();
}
