// The uninstaller's whole removal, the same after the dialog's confirmation and in a quiet run
// (/quiet): devices, the system's INF copy, the driver file, the registry keys, the package files
// and the start-menu items, each step passing over what fails.
#pragma once
#include <string>

// The program a 32-bit uninstaller on 64-bit Windows names for removing the devices.
constexpr const char kUninstallerProgram[] = "kvrlancom_uninstaller.exe";

// Every step but the restart prompt; the devices only when withDevices (a 32-bit uninstaller on
// 64-bit Windows cannot remove them and leaves them out).
void RemovePackage(bool withDevices);

// The text a 32-bit uninstaller shows on 64-bit Windows before it removes everything else.
std::string UninstallerWow64Refusal();

// The whole removal without any window; the exit code: a restart is needed, as the prompt of an
// interactive run says, unless a step failed (failed_steps.h): a device found and not removed (or
// none removable, 32-bit on 64-bit Windows), a file, key or shortcut still there.
int RunQuietUninstall();
