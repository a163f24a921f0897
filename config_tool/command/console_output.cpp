#include "console_output.h"

#include "handles.h"

#include <windows.h>

namespace {
bool WriteAll(HANDLE out, const std::string& text)
{
    const char* next = text.data();
    size_t left = text.size();
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteFile(out, next, static_cast<DWORD>(left), &written, nullptr) || written == 0)
            return false;
        next += written;
        left -= written;
    }
    return true;
}
}

void WriteToStartingConsole(const std::string& text)
{
    // A windowed program has no console of its own; a redirection hands it a file or a pipe.
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE && ::GetFileType(out) != FILE_TYPE_UNKNOWN && WriteAll(out, text))
        return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    UniqueKernelHandle console(::CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            0, nullptr));
    if (console)
        WriteAll(console.Get(), text);
    console.Reset();
    ::FreeConsole();
}
