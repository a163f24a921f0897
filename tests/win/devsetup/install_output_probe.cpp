// A windowed program (no console) that runs the installer's InstallFromInf on the INF named by its
// command line, so that a test can read what reaches its redirected standard output. It ends
// without the runtime's exit processing, so only lines that were flushed when written arrive.
#include "device_setup.h"

#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int outcome = __argc < 2 ? 3 : InstallFromInf(__argv[1], "kelvaro\\tcpsio");
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(outcome));
    return outcome;
}
