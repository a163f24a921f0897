// Creating and removing the driver package's virtual serial devices through the platform's device
// setup functions. Every program compiles these routines in; what they tell the user differs per
// program (device_setup_report.h), and each program links the kvrdevsetup_<program> library that
// holds its routines and its way of reporting.
#pragma once
#include <windows.h>

#include <string>

// Outcomes of InstallFromInf.
enum {
    INSTALL_OK = 0,      // installed
    INSTALL_REBOOT = 1,  // installed; the device works after a restart
    INSTALL_FAILED = 2,  // INF missing or installation failed
};

// Creates one root-enumerated device of the INF's setup class with hardwareId as its only hardware
// ID, and installs its driver from the INF at infPath (a full path). Sets *rebootRequired when the
// platform asks for a restart. A device whose driver install fails is removed again.
// TRUE when every step succeeded. On return the thread's last-error code is NO_ERROR, or the code
// of the step that failed. A device of this call remains after a failure only when its removal
// failed as well; that removal is reported apart (ReportDeviceLeftBehind).
BOOL InstallRootDevice(const char* hardwareId, const char* infPath, BOOL* rebootRequired);

// From now on the driver install may show no user interface (INSTALLFLAG_NONINTERACTIVE): what would
// need an answer (an unsigned driver, a file to be found) fails the install instead. For runs
// with nobody at the screen.
void SetUnattendedDriverInstall(bool unattended);

// Installs one device from the INF at infPath after checking that the file exists, and reports
// the outcome the way the program does (device_setup_report.h). Blocks for as long as the
// installation takes, which can be seconds.
int InstallFromInf(std::string infPath, const char* hardwareId);

// Removes every present device whose hardware-ID list holds the package's hardware ID
// (kDriverHardwareId, exact and case-sensitive), reporting each failed removal the program's way.
void RemoveDevicesByHardwareId();

// Removes the present device of the package (kDriverHardwareId) whose "PortName" is portName, in
// any letter case; nothing is reported. NO_ERROR; ERROR_SUCCESS_REBOOT_REQUIRED when the device is
// removed but the system finishes only at a restart; ERROR_NOT_FOUND when no device of the package
// has that port; or the removal's error.
DWORD RemoveDeviceByPortName(const char* portName);
