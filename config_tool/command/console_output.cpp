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

void WriteStandardStream(DWORD which, const std::string& text)
{
    HANDLE out = ::GetStdHandle(which);
    if (text.empty() || !(out && out != INVALID_HANDLE_VALUE))
        return;
    DWORD mode = 0;
    if (!::GetConsoleMode(out, &mode)) {
        WriteAll(out, text);
        return;
    }
    // A console shows its own code page (often the OEM one), not the program's: hand it the
    // characters themselves.
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    for (size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        if (!::WriteConsoleW(out, wide.data() + done, static_cast<DWORD>(wide.size() - done), &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}
