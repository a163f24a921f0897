// Whether the computer already has a virtual port of the package, so that installing the package
// over an earlier install (the setup's or an older package's) adds no second port.
#pragma once
#include <windows.h>

// NO_ERROR with *present set when a root-enumerated Ports instance holds the package's hardware ID
// (exactly, in its letter case) in its hardware-ID list; otherwise the registry error of the read
// that failed. No Ports instance at all is no error: *present is false.
DWORD PackageDevicePresent(bool* present);
