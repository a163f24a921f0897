// How kvrctl, the console command, reports from the device setup routines: its switches name every
// outcome themselves, with the system's error, on standard error; nothing here shows a box.
#include "device_setup_report.h"

#include <cstdio>

void ReportInfNotFound(DWORD)
{
    // /add-port checks for the INF itself and names the folder it looked in.
}

void ReportDeviceInstalled(BOOL)
{
    // /add-port prints the new port, and says when it works only after a restart.
}

void ReportRemoveFailed(const char*, DWORD)
{
    // /remove-port removes one device and reports its error itself.
}

void ReportDeviceLeftBehind(const char* instanceId, DWORD error)
{
    std::fprintf(stderr, "Removing the half-installed device %s failed: error %lu\r\n", instanceId,
                 static_cast<unsigned long>(error));
    std::fflush(stderr);
}

void ReportDeviceListUnreadable(DWORD)
{
    // kvrctl removes one device at a time (/remove-port), and names that removal's error itself.
}

void ReportRemovalNeedsRestart()
{
    // Only the removal of every device reports this, which kvrctl does not run.
}
