// The Windows Installer's handles (a session, a record), owned like every other handle.
#pragma once
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include "unique_handle.h"

struct MsiHandleTraits {
    using pointer = MSIHANDLE;
    static MSIHANDLE Invalid() { return 0; }
    static bool IsValid(MSIHANDLE handle) { return handle != 0; }
    static void Close(MSIHANDLE handle) { ::MsiCloseHandle(handle); }
};

using UniqueMsiHandle = UniqueHandle<MsiHandleTraits>;
