#include "target.h"

#include <vector>

namespace {
UINT g_sendTimeoutMs = 5000;
}

void SetSendTimeout(UINT milliseconds)
{
    g_sendTimeoutMs = milliseconds;
}

UINT SendTimeout()
{
    return g_sendTimeoutMs;
}

HWND TargetWindow(Request& request, size_t i, Answer& answer)
{
    HWND hwnd = request.Window(i);
    if (request.Failed())
        return nullptr;
    if (!::IsWindow(hwnd)) {
        answer.Fail("no such window");
        return nullptr;
    }
    return hwnd;
}

HWND TargetControl(HWND window, Request& request, size_t i, Answer& answer)
{
    long long id = request.Integer(i);
    if (request.Failed() || !window)
        return nullptr;
    HWND control = ::GetDlgItem(window, static_cast<int>(id));
    if (!control)
        answer.Fail("no control " + std::to_string(id));
    return control;
}

bool SendToTarget(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    DWORD_PTR value = 0;
    // Not SMTO_ABORTIFHUNG: a program busy for a while (a long list to fill) is waited for.
    if (!::SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, g_sendTimeoutMs, &value))
        return false;
    if (result)
        *result = static_cast<LRESULT>(value);
    return true;
}

bool ReadWindowText(HWND hwnd, std::string& text)
{
    LRESULT length = 0;
    if (!SendToTarget(hwnd, WM_GETTEXTLENGTH, 0, 0, &length))
        return false;
    // Room for a text that grew between the two messages.
    std::vector<char> buffer(static_cast<size_t>(length) + 256, '\0');
    LRESULT copied = 0;
    if (!SendToTarget(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), &copied))
        return false;
    buffer.back() = '\0';
    text = buffer.data();
    return true;
}

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void AnswerControlQuery(Request& request, Answer& answer, UINT message)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND control = TargetControl(window, request, 1, answer);
    if (!control)
        return;
    LRESULT result = 0;
    if (!SendToTarget(control, message, 0, 0, &result)) {
        answer.Fail("no answer");
        return;
    }
    answer.Add(static_cast<long long>(result));
}

namespace {
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
}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD pid)
{
    ProcessWindows windows = {pid, {}};
    ::EnumWindows(CollectOfProcess, reinterpret_cast<LPARAM>(&windows));
    return windows.list;
}
