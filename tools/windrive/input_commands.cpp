// Real mouse and keyboard input, through the system's input queue: the program sees what a user's
// hand would cause, including the messages its controls generate themselves (a list view that
// deselects its rows on a click into empty space, a dialog that takes Enter or Esc).
#include "commands.h"
#include "target.h"

namespace {

constexpr DWORD kInputSettleMs = 20;

// Puts the top-level window in front so that input goes to it; false when it stays behind.
bool BringToFront(HWND window)
{
    HWND root = ::GetAncestor(window, GA_ROOT);
    ::SetForegroundWindow(root);
    for (int i = 0; i < 50; ++i) {
        if (::GetForegroundWindow() == root)
            return true;
        ::Sleep(10);
    }
    return false;
}

bool Send(INPUT* inputs, UINT count)
{
    return ::SendInput(count, inputs, sizeof(INPUT)) == count;
}

}  // namespace

void MouseClick(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    long long id = request.Integer(1);
    POINT point = {static_cast<LONG>(request.Integer(2)), static_cast<LONG>(request.Integer(3))};
    if (!window || request.Failed())
        return;
    HWND target = id ? ::GetDlgItem(window, static_cast<int>(id)) : window;
    if (!target) {
        answer.Fail("no control " + std::to_string(id));
        return;
    }
    if (!BringToFront(window)) {
        answer.Fail("window not in front");
        return;
    }
    ::ClientToScreen(target, &point);
    ::SetCursorPos(point.x, point.y);
    ::Sleep(kInputSettleMs);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (!Send(inputs, 2))
        answer.Fail("input refused");
}

void Key(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    long long vk = request.Integer(1);
    if (!window || request.Failed())
        return;
    if (!BringToFront(window)) {
        answer.Fail("window not in front");
        return;
    }
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = static_cast<WORD>(vk);
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    if (!Send(inputs, 2))
        answer.Fail("input refused");
}
