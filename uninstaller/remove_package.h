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

// The whole removal without any window; the exit code: failed when a step failed (failed_steps.h):
// the devices not listed, a device found and not removed (or none removable, 32-bit on 64-bit
// Windows), the Windows directory or the Programs folder not read, a path too long, a file, key or
// shortcut still there; else done with a restart needed only when a device's removal asked for
// one, and plain done otherwise.
int RunQuietUninstall();
