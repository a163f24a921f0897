// Message boxes of the program under test, read and answered as a user would (winprobe).
#include "commands.h"
#include "message_box_probe.h"
#include "target.h"

namespace {

constexpr int kIconReads = 10;
constexpr DWORD kIconReadGapMs = 30;

}  // namespace

void WaitMessageBox(Request& request, Answer& answer)
{
    long long pid = request.Integer(0);
    long long timeoutMs = request.Integer(1);
    if (request.Failed())
        return;
    if (pid <= 0) {
        answer.Fail("usage: pid of the program");
        return;
    }
    HWND box = WaitForMessageBox(static_cast<DWORD>(pid), static_cast<DWORD>(timeoutMs));
    if (!box) {
        answer.Fail("timeout");
        return;
    }
    answer.Add(box);
}

void ReadMessageBoxCommand(Request& request, Answer& answer)
{
    HWND box = TargetWindow(request, 0, answer);
    if (!box)
        return;
    // The icon is told from the screen: read until two reads agree, so that a box that has not
    // painted yet is not taken for one with another icon.
    MessageBoxInfo info, previous;
    bool agreed = false;
    for (int i = 0; i < kIconReads && !agreed; ++i) {
        if (i)
            ::Sleep(kIconReadGapMs);
        SendToTarget(box, WM_NULL, 0, 0);  // lets the box's thread get to its painting
        if (!ReadMessageBox(box, info)) {
            answer.Fail("not a message box");
            return;
        }
        agreed = i > 0 && info.icon == previous.icon;
        previous = info;
    }
    answer.Add(info.caption).Add(info.text).Add(info.icon).Add(static_cast<long long>(info.buttons.size()));
    for (const MessageBoxButton& button : info.buttons)
        answer.Add(static_cast<long long>(button.id)).Add(button.text);
}

void PressMessageBox(Request& request, Answer& answer)
{
    HWND box = TargetWindow(request, 0, answer);
    long long id = request.Integer(1);
    if (!box || request.Failed())
        return;
    if (!PressMessageBoxButton(box, static_cast<int>(id)))
        answer.Fail("no button " + std::to_string(id));
}
