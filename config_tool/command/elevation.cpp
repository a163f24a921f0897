#include "elevation.h"

#include "handles.h"

#include <windows.h>

bool RunsElevated()
{
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return true;  // cannot tell: let the write itself say whether it may
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!::GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size))
        return true;  // a system without elevation (no UAC): rights are what the account has
    return elevation.TokenIsElevated != 0;
}
