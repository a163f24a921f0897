// Buttons, check boxes and window texts of the program under test.
#include "commands.h"
#include "message_box_probe.h"
#include "target.h"

#include <vector>

namespace {

// A real click reaches only a control that the user can see and that takes input, inside a
// window that takes input (not one behind a modal dialog or message box).
bool Clickable(HWND control, Answer& answer)
{
    if (!::IsWindowVisible(control)) {
        answer.Fail("hidden");
        return false;
    }
    if (!::IsWindowEnabled(control) || !::IsWindowEnabled(::GetAncestor(control, GA_ROOT))) {
        answer.Fail("disabled");
        return false;
    }
    return true;
}

}  // namespace

void Click(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND button = TargetControl(window, request, 1, answer);
    if (!button || !Clickable(button, answer))
        return;
    // Posted, as the button itself would notify: the program may open a modal dialog in its handler.
    int id = ::GetDlgCtrlID(button);
    if (!::PostMessageA(::GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
        answer.Fail("post failed");
}

void PostCommand(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    long long id = request.Integer(1);
    if (!window || request.Failed())
        return;
    if (!::PostMessageA(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0))
        answer.Fail("post failed");
}

void Text(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND control = TargetControl(window, request, 1, answer);
    if (!control)
        return;
    std::string text;
    if (!ReadWindowText(control, text))
        answer.Fail("no answer");
    answer.Add(text);
}

void SetText(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND control = TargetControl(window, request, 1, answer);
    std::string text = request.Text(2);
    if (!control || request.Failed())
        return;
    if (!SendToTarget(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
        answer.Fail("no answer");
}

void Enabled(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND control = TargetControl(window, request, 1, answer);
    if (control)
        answer.Add(static_cast<long long>(::IsWindowEnabled(control) ? 1 : 0));
}

void Visible(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND control = TargetControl(window, request, 1, answer);
    if (control)
        answer.Add(static_cast<long long>(::IsWindowVisible(control) ? 1 : 0));
}

void SampleText(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND control = TargetControl(window, request, 1, answer);
    long long intervalMs = request.Integer(2);
    long long timeoutMs = request.Integer(3);
    if (!control || request.Failed())
        return;
    // Every distinct value seen, with when it was first seen, until the window closes: a dialog
    // that ends is hidden at once and destroyed a little later, its controls first.
    std::vector<std::pair<long long, std::string>> seen;
    double start = NowMs();
    double slowest = 0;  // the longest the program took to answer one read
    bool closed = false;
    for (;;) {
        std::string text;
        double asked = NowMs();
        bool read = ::IsWindowVisible(window) && ReadWindowText(control, text);
        if (read && NowMs() - asked > slowest)
            slowest = NowMs() - asked;
        if (!read) {
            closed = !::IsWindowVisible(window) || WaitForWindowGone(window, 1000);
            break;
        }
        if (seen.empty() || seen.back().second != text)
            seen.emplace_back(static_cast<long long>(NowMs() - start), text);
        if (NowMs() - start >= static_cast<double>(timeoutMs))
            break;
        ::Sleep(static_cast<DWORD>(intervalMs));
    }
    answer.Add(static_cast<long long>(NowMs() - start)).Add(static_cast<long long>(closed ? 1 : 0));
    answer.Add(static_cast<long long>(seen.size()));
    for (const auto& value : seen)
        answer.Add(value.first).Add(value.second);
    answer.Add(static_cast<long long>(slowest + 0.5));
}

void PostPlain(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    long long message = request.Integer(1);
    long long wParam = request.Integer(2);
    long long lParam = request.Integer(3);
    if (!window || request.Failed())
        return;
    if (!::PostMessageA(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)))
        answer.Fail("post failed");
}

void SendPlain(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    long long id = request.Integer(1);
    long long message = request.Integer(2);
    long long wParam = request.Integer(3);
    long long lParam = request.Integer(4);
    if (!window || request.Failed())
        return;
    HWND target = id ? ::GetDlgItem(window, static_cast<int>(id)) : window;
    LRESULT result = 0;
    if (!target)
        answer.Fail("no control " + std::to_string(id));
    else if (!SendToTarget(target, static_cast<UINT>(message), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam), &result))
        answer.Fail("no answer");
    else
        answer.Add(static_cast<long long>(result));
}
