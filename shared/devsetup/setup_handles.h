// The device setup routines' handles, owned like every other handle of the programs.
#pragma once
#include <windows.h>
#include <setupapi.h>

#include "handles.h"

// A device information set (SetupDiCreateDeviceInfoList, SetupDiGetClassDevsA); the platform's
// failure value is INVALID_HANDLE_VALUE.
struct DevInfoTraits {
    using pointer = HDEVINFO;
    static HDEVINFO Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HDEVINFO set) { return set != INVALID_HANDLE_VALUE && set != nullptr; }
    static void Close(HDEVINFO set) { ::SetupDiDestroyDeviceInfoList(set); }
};

using UniqueDevInfo = UniqueHandle<DevInfoTraits>;
