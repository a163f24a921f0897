#include "program_run.h"

#include "handles.h"
#include "message_box_probe.h"

#include <algorithm>

std::string WindowsPath(const char* buildPath)
{
    std::string path = buildPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path[0] == '\\' ? "Z:" + path : path;
}

ProgramRun::ProgramRun(const std::string& exePath, const std::string& currentDirectory, bool captureOutput,
                       const std::string& arguments)
{
    UniqueKernelHandle output;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (captureOutput) {
        char temp[MAX_PATH] = {0};
        char name[MAX_PATH] = {0};
        ::GetTempPathA(MAX_PATH, temp);
        ::GetTempFileNameA(temp, "out", 0, name);
        m_outputPath = name;
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        output.Reset(::CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr));
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.Get();
    }
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    PROCESS_INFORMATION process = {};
    if (::CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, captureOutput ? TRUE : FALSE, 0, nullptr,
                         currentDirectory.c_str(), &startup, &process)) {
        ::CloseHandle(process.hThread);
        m_process = process.hProcess;
        m_pid = process.dwProcessId;
    }
}

ProgramRun::~ProgramRun()
{
    if (m_process) {
        if (!WaitExit(0)) {
            ::TerminateProcess(m_process, 1);
            ::WaitForSingleObject(m_process, 10000);
        }
        ::CloseHandle(m_process);
    }
    if (!m_outputPath.empty())
        ::DeleteFileA(m_outputPath.c_str());
}

DWORD ProgramRun::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_process)
        ::GetExitCodeProcess(m_process, &code);
    return code;
}

namespace {
struct WindowSearch {
    DWORD pid;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char caption[256] = {0};
    if (pid == search.pid && ::IsWindowVisible(hwnd) && ::GetWindowTextA(hwnd, caption, sizeof caption) >= 0 &&
        std::string(caption) == search.caption) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}

HWND ProgramRun::WaitWindow(const char* caption, DWORD timeoutMs) const
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        WindowSearch search = {m_pid, caption, nullptr};
        ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start >= timeoutMs)
            return search.found;
        ::Sleep(20);
    }
}

bool ProgramRun::WaitExit(DWORD timeoutMs) const
{
    return m_process && ::WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0;
}

std::string ProgramRun::Output() const
{
    std::string written;
    UniqueKernelHandle file(::CreateFileA(m_outputPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    char chunk[256];
    DWORD got = 0;
    while (file.Valid() && ::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        written.append(chunk, got);
    return written;
}

std::string ControlText(HWND dialog, int id)
{
    char text[512] = {0};
    ::SendMessageA(::GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void PostClick(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

void PostEscape(HWND dialog)
{
    HWND target = ::GetDlgItem(dialog, IDOK);  // the default button has the focus
    ::PostMessageA(target ? target : dialog, WM_KEYDOWN, VK_ESCAPE, 1);
}

void PostCloseBox(HWND window)
{
    ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

namespace {
struct OwnedBoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwnedBox(HWND hwnd, LPARAM lParam)
{
    OwnedBoxSearch& search = *reinterpret_cast<OwnedBoxSearch*>(lParam);
    if (::GetWindow(hwnd, GW_OWNER) == search.owner && ::IsWindowVisible(hwnd) && IsMessageBox(hwnd)) {
        search.found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}

HWND WaitForOwnedMessageBox(HWND owner, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        OwnedBoxSearch search = {owner, nullptr};
        ::EnumWindows(&MatchOwnedBox, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start >= timeoutMs)
            return search.found;
        ::Sleep(20);
    }
}
