// What the device setup routines tell the user. The programs differ only here: each program's
// kvrdevsetup_<program> library holds its own definitions (report_<program>.cpp), so a program
// links exactly the routines it uses and its own way of reporting.
//
//                        configuration tool       installer                          uninstaller
//   INF not found        nothing                  "Error Code : 01%d" box            (not linked)
//   device installed     "(Reboot Required)\n"    "Driver Installed successfully.\n" (not linked)
//                        on a restart             then "(Reboot Required)\n"
//   a removal failed     "Remove Error" box       (not linked)                       a failed step
//   the device list      nothing                  (not linked)                       a failed step
//   cannot be read
//   a removal needs      nothing                  (not linked)                       a restart asked
//   a restart                                                                        for by exit code
//   a failed install's   nothing (the port list   a failed step                      (not linked)
//   device stays         shows it)
//
// The programs are windowed and open no console: their standard-output lines are seen only where
// standard output is redirected, and each line is flushed at once so that it is not lost in the
// runtime's buffer.
#pragma once
#include <windows.h>

// The file search for the INF failed with searchError (GetLastError of FindFirstFileA).
void ReportInfNotFound(DWORD searchError);
// A device was installed; rebootRequired is the platform's restart flag.
void ReportDeviceInstalled(BOOL rebootRequired);
// The class installer's remove function failed for the device instanceId with error; the removal
// goes on.
void ReportRemoveFailed(const char* instanceId, DWORD error);
// A device whose driver install failed could not be removed again (error): it remains.
void ReportDeviceLeftBehind(const char* instanceId, DWORD error);
// The present devices could not be listed, or the walk over them stopped early, with error.
void ReportDeviceListUnreadable(DWORD error);
// A device was removed, and the platform asks for a restart to finish its removal.
void ReportRemovalNeedsRestart();
