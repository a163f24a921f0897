// The registry write of one value of a port binding, the one call WritePortBinding makes for each of
// its three values. Tests put their own in its place to make the second or third write fail, which
// the registry does not do on its own once it has taken the first.
#pragma once
#include <windows.h>

using BindingValueWriteCall = LONG (*)(HKEY key, const char* valueName, DWORD value);

// Returns the call in use until now; nullptr puts the registry's back.
BindingValueWriteCall ReplaceBindingValueWriteCall(BindingValueWriteCall call);
