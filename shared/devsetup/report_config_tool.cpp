// How the configuration tool (kvrconfig) reports from the device setup routines.
#include "device_setup_report.h"

#include "standard_output.h"

#include "msgbox.h"

void ReportInfNotFound(DWORD)
{
    // The port management dialog decides what to show (it shows nothing).
}

void ReportDeviceInstalled(BOOL rebootRequired)
{
    if (rebootRequired)
        WriteStandardOutputLine("(Reboot Required)\n");
}

void ReportRemoveFailed(const char*, DWORD)
{
    AfxMessageBox("Remove Error", MB_OK);
}

void ReportDeviceLeftBehind(const char*, DWORD)
{
    // "Add Port" reports its own failure; the device that stayed is one more port in the list.
}

void ReportDeviceListUnreadable(DWORD)
{
    // "Delete All Port" refills the port list, which shows what is left.
}

void ReportRemovalNeedsRestart()
{
    // Port management offers no restart.
}
