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

    // Paths under the Windows directory are formed only when it was read whole.
    char windowsDirectory[260];
    UINT length = ::GetWindowsDirectoryA(windowsDirectory, 255);
    const bool haveWindowsDirectory = length > 0 && length < 255;

    if (haveWindowsDirectory) {
        DeleteDriverInfCopy(windowsDirectory);
        DeleteDriverFile(windowsDirectory);
    }
    DeletePackageKeys();
    if (haveWindowsDirectory) {
        DeletePackageFiles(windowsDirectory);
        RemoveStartMenuItems(windowsDirectory);
    }
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
    return FailedStepCount() > 0 ? kExitFailed : kExitRestartNeeded;
}
