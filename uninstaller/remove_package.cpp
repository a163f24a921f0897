#include "remove_package.h"

#include "device_setup.h"
#include "failed_steps.h"
#include "run_mode.h"
#include "uninstall_steps.h"
#include "wow64.h"

#include <windows.h>

void RemovePackage(bool withDevices)
{
    // Every step runs whatever the earlier ones achieved; what fails is recorded (failed_steps.h).
    if (withDevices)
        RemoveDevicesByHardwareId();

    // Paths under the Windows directory are formed only when it was read whole. The system's own
    // one: on a Remote Desktop host a program that is not Terminal Server aware may be shown a
    // per-user copy.
    char windowsDirectory[260];
    UINT length = ::GetSystemWindowsDirectoryA(windowsDirectory, 255);
    DWORD error = ::GetLastError();
    const bool haveWindowsDirectory = length > 0 && length < 255;
    if (!haveWindowsDirectory)
        RecordFailedStep("Reading the Windows directory", length == 0 ? error : ERROR_FILENAME_EXCED_RANGE);

    if (haveWindowsDirectory) {
        DeleteDriverInfCopy(windowsDirectory);
        DeleteDriverFile(windowsDirectory);
    }
    DeletePackageKeys();
    if (haveWindowsDirectory)
        DeletePackageFiles(windowsDirectory);
    RemoveStartMenuItems();
}

std::string UninstallerWow64Refusal()
{
    return Wow64DeviceRefusal("remove the driver's virtual ports", kUninstallerProgram) +
           "\nThe ports stay; everything else is removed now.";
}

int RunQuietUninstall()
{
    const bool withDevices = !RunsUnderWow64();
    if (!withDevices)
        RecordFailedStep("Removing the devices (a 32-bit uninstaller on 64-bit Windows cannot)", ERROR_NOT_SUPPORTED);
    RemovePackage(withDevices);
    const bool restart = TakeRestartNeeded();
    if (FailedStepCount() > 0)
        return kExitFailed;
    return restart ? kExitRestartNeeded : kExitDone;
}
