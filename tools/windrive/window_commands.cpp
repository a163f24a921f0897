// Top-level windows of the program under test, and the children of one.
#include "commands.h"
#include "target.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kPollMs = 5;

struct TitleSearch {
    const std::string* title;
    DWORD pid;  // 0: any process
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<TitleSearch*>(lParam);
    if (!::IsWindowVisible(hwnd))
        return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (search->pid && pid != search->pid)
        return TRUE;
    // Read from the window manager's copy: no message to a window that may be busy.
    char title[512] = {0};
    ::GetWindowTextA(hwnd, title, sizeof title);
    if (*search->title != title)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

struct ProcessWindows {
    DWORD pid;
    std::vector<HWND> list;
};

BOOL CALLBACK CollectOfProcess(HWND hwnd, LPARAM lParam)
{
    auto* windows = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == windows->pid || windows->pid == 0)
        windows->list.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectDirectChild(HWND hwnd, LPARAM lParam)
{
    auto* list = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(lParam);
    if (::GetAncestor(hwnd, GA_PARENT) == list->first)
        list->second.push_back(hwnd);
    return TRUE;
}

// Shown and drawn: the window and each of its visible children have nothing left to paint.
bool Painted(HWND hwnd)
{
    if (!::IsWindowVisible(hwnd) || ::GetUpdateRect(hwnd, nullptr, FALSE))
        return false;
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::IsWindowVisible(child) && ::GetUpdateRect(child, nullptr, FALSE))
            return false;
    return true;
}

}  // namespace

void WaitPainted(Request& request, Answer& answer)
{
    HWND hwnd = request.Window(0);
    long long timeoutMs = request.Integer(1);
    if (request.Failed())
        return;
    double start = NowMs();
    while (!Painted(hwnd)) {
        if (!::IsWindow(hwnd) || NowMs() - start >= static_cast<double>(timeoutMs)) {
            answer.Fail("not painted");
            return;
        }
        ::Sleep(1);
    }
    answer.Add(static_cast<long long>(NowMs() - start));
}

void WaitWindow(Request& request, Answer& answer)
{
    long long timeoutMs = request.Integer(0);
    std::string title = request.Text(1);
    DWORD pid = request.Has(2) ? static_cast<DWORD>(request.Integer(2)) : 0;
    if (request.Failed())
        return;
    TitleSearch search = {&title, pid, nullptr};
    double deadline = NowMs() + static_cast<double>(timeoutMs);
    for (;;) {
        search.found = nullptr;
        ::EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            break;
        if (NowMs() >= deadline) {
            answer.Fail("timeout");
            return;
        }
        ::Sleep(kPollMs);
    }
    DWORD owner = 0;
    ::GetWindowThreadProcessId(search.found, &owner);
    answer.Add(search.found).Add(static_cast<long long>(owner));
}

void WindowsOf(Request& request, Answer& answer)
{
    ProcessWindows windows = {static_cast<DWORD>(request.Integer(0)), {}};
    if (request.Failed())
        return;
    ::EnumWindows(CollectOfProcess, reinterpret_cast<LPARAM>(&windows));
    answer.Add(static_cast<long long>(windows.list.size()));
    for (HWND hwnd : windows.list) {
        char title[512] = {0};
        ::GetWindowTextA(hwnd, title, sizeof title);
        answer.Add(hwnd).Add(title).Add(static_cast<long long>(::IsWindowVisible(hwnd) ? 1 : 0));
    }
}

void WaitGone(Request& request, Answer& answer)
{
    HWND hwnd = request.Window(0);
    long long timeoutMs = request.Integer(1);
    if (request.Failed())
        return;
    double start = NowMs();
    while (::IsWindow(hwnd)) {
        if (NowMs() - start >= static_cast<double>(timeoutMs)) {
            answer.Fail("timeout");
            return;
        }
        ::Sleep(kPollMs);
    }
    answer.Add(static_cast<long long>(NowMs() - start));
}

void Title(Request& request, Answer& answer)
{
    HWND hwnd = TargetWindow(request, 0, answer);
    std::string text;
    if (!hwnd)
        return;
    if (!ReadWindowText(hwnd, text))
        answer.Fail("no answer");
    answer.Add(text);
}

void Style(Request& request, Answer& answer)
{
    HWND hwnd = TargetWindow(request, 0, answer);
    if (hwnd && request.Has(1))
        hwnd = TargetControl(hwnd, request, 1, answer);
    if (!hwnd)
        return;
    char styles[40];
    std::snprintf(styles, sizeof styles, "0x%08lx 0x%08lx", static_cast<unsigned long>(::GetWindowLongA(hwnd, GWL_STYLE)),
                  static_cast<unsigned long>(::GetWindowLongA(hwnd, GWL_EXSTYLE)));
    answer.Add(std::string(styles, 10)).Add(std::string(styles + 11));
}

void Children(Request& request, Answer& answer)
{
    HWND hwnd = TargetWindow(request, 0, answer);
    if (!hwnd)
        return;
    std::pair<HWND, std::vector<HWND>> list(hwnd, {});
    ::EnumChildWindows(hwnd, CollectDirectChild, reinterpret_cast<LPARAM>(&list));
    answer.Add(static_cast<long long>(list.second.size()));
    for (HWND child : list.second) {
        char className[128] = {0};
        ::GetClassNameA(child, className, sizeof className);
        std::string text;
        ReadWindowText(child, text);
        char style[16];
        std::snprintf(style, sizeof style, "0x%08lx", static_cast<unsigned long>(::GetWindowLongA(child, GWL_STYLE)));
        RECT rect = {};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
        answer.Add(static_cast<long long>(::GetDlgCtrlID(child))).Add(className).Add(text).Add(style);
        answer.Add(static_cast<long long>(rect.left)).Add(static_cast<long long>(rect.top));
        answer.Add(static_cast<long long>(rect.right)).Add(static_cast<long long>(rect.bottom));
    }
}

void Focus(Request& request, Answer& answer)
{
    HWND hwnd = TargetWindow(request, 0, answer);
    if (!hwnd)
        return;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(hwnd, nullptr), &info) || !info.hwndFocus) {
        answer.Add(0LL).Add(std::string()).Add(static_cast<HWND>(nullptr));
        return;
    }
    char className[128] = {0};
    ::GetClassNameA(info.hwndFocus, className, sizeof className);
    answer.Add(static_cast<long long>(::GetDlgCtrlID(info.hwndFocus))).Add(className).Add(info.hwndFocus);
}

void Close(Request& request, Answer& answer)
{
    HWND hwnd = TargetWindow(request, 0, answer);
    if (hwnd && !::PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0))
        answer.Fail("post failed");
}
