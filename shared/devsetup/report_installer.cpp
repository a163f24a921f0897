// How the installer (kvrlancom_installer) reports from the device setup routines.
#include "device_setup_report.h"

#include "failed_steps.h"
#include "standard_output.h"

#include "msgbox.h"

#include <cstdio>
#include <string>

void ReportInfNotFound(DWORD searchError)
{
    // "01" then the error code of the search: a missing file (2) reads "Error Code : 012".
    char text[32];
    std::snprintf(text, sizeof text, "Error Code : 01%d", static_cast<int>(searchError));
    AfxMessageBox(text, MB_OK);
}

void ReportDeviceInstalled(BOOL rebootRequired)
{
    WriteStandardOutputLine("Driver Installed successfully.\n");
    if (rebootRequired)
        WriteStandardOutputLine("(Reboot Required)\n");
}

void ReportDeviceLeftBehind(const char* instanceId, DWORD error)
{
    RecordFailedStep(std::string("Removing the half-installed device ") + instanceId, error);
}
