// HKEY_LOCAL_MACHINE\SOFTWARE keys shared with the 64-bit driver and with the other build of the
// programs: the port assignment store and the uninstall entry. On 64-bit Windows a 32-bit program's
// SOFTWARE keys would land under Wow6432Node, where neither the driver nor the 64-bit programs look;
// every access to these keys therefore asks for the 64-bit view, which 32-bit Windows ignores.
#pragma once
#include <windows.h>

constexpr REGSAM kMachineView = KEY_WOW64_64KEY;

// Deletes HKEY_LOCAL_MACHINE\path with its values and everything under it, in the 64-bit view.
// ERROR_SUCCESS, or the registry error of the step that failed (ERROR_FILE_NOT_FOUND when the key is
// not there). The parent key stays.
LONG DeleteMachineKeyTree(const char* path);
