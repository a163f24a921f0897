// Waiting until a program's windows are drawn: a screenshot taken as soon as a window shows can
// catch it before its controls have painted, since painting waits until every other message of the
// program's queue has been handled.
#include "commands.h"
#include "target.h"

#include <vector>

namespace {

constexpr DWORD kPollMs = 5;

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM lParam)
{
    if (::IsWindowVisible(child) && ::GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

// Whether the window or one of its visible descendants still has a part to paint.
bool HasUnpainted(HWND window)
{
    bool unpainted = ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!unpainted)
        ::EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted;
}

}  // namespace

// Every visible top-level window of the process, with all its controls, painted. Each round sends
// WM_NULL to every window first (answered only once its thread has handled what came before), then
// asks for update regions; two clean rounds in a row mean the thread went back to its message loop
// after its last WM_PAINT. Last, the process idle: its thread waits for input, which Wine does only
// after handing what was painted to the display.
void WaitPainted(Request& request, Answer& answer)
{
    DWORD pid = static_cast<DWORD>(request.Integer(0));
    long long timeoutMs = request.Integer(1);
    if (request.Failed())
        return;
    double start = NowMs();
    int cleanRounds = 0;
    for (;;) {
        std::vector<HWND> windows;
        for (HWND window : TopLevelWindowsOf(pid))
            if (::IsWindowVisible(window))
                windows.push_back(window);
        bool unpainted = windows.empty();
        for (HWND window : windows)
            if (!SendToTarget(window, WM_NULL, 0, 0) || HasUnpainted(window))
                unpainted = true;
        cleanRounds = unpainted ? 0 : cleanRounds + 1;
        if (cleanRounds == 2)
            break;
        if (NowMs() - start >= static_cast<double>(timeoutMs)) {
            answer.Fail(windows.empty() ? "no visible window" : "still painting");
            return;
        }
        ::Sleep(kPollMs);
    }
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process) {
        double left = static_cast<double>(timeoutMs) - (NowMs() - start);
        ::WaitForInputIdle(process, left > 0 ? static_cast<DWORD>(left) : 0);
        ::CloseHandle(process);
    }
    answer.Add(static_cast<long long>(NowMs() - start));
}

// One window shown with nothing left to paint, itself and its children. Nothing is sent to it, so
// this also times a window whose thread is busy (a dialog on screen in the middle of a burst).
void WaitShown(Request& request, Answer& answer)
{
    HWND hwnd = request.Window(0);
    long long timeoutMs = request.Integer(1);
    if (request.Failed())
        return;
    double start = NowMs();
    while (!::IsWindowVisible(hwnd) || HasUnpainted(hwnd)) {
        if (!::IsWindow(hwnd) || NowMs() - start >= static_cast<double>(timeoutMs)) {
            answer.Fail("not painted");
            return;
        }
        ::Sleep(1);
    }
    answer.Add(static_cast<long long>(NowMs() - start));
}
