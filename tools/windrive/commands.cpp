#include "commands.h"

#include "target.h"

namespace {

void Ping(Request&, Answer&)
{
}

const Command kCommands[] = {
    {"ping", "", Ping},
    {"send-timeout", "MS (how long a message to the program may take; 5000 at start)", SetSendTimeoutCommand},
    {"wait-window", "TIMEOUT_MS TITLE [PID] -> HWND PID", WaitWindow},
    {"windows", "PID -> N (HWND TITLE VISIBLE)... top-level windows of the process (0: of all)", WindowsOf},
    {"wait-gone", "HWND TIMEOUT_MS -> ELAPSED_MS", WaitGone},
    {"wait-painted", "PID TIMEOUT_MS -> ELAPSED_MS (every visible window of the process drawn)", WaitPainted},
    {"wait-shown", "HWND TIMEOUT_MS -> ELAPSED_MS until it is shown with nothing left to paint", WaitShown},
    {"title", "HWND -> TEXT", Title},
    {"style", "HWND [ID] -> STYLE EXSTYLE (of the window, or of its control ID)", Style},
    {"children", "HWND -> N (ID CLASS TEXT STYLE LEFT TOP RIGHT BOTTOM)...", Children},
    {"focus", "HWND -> ID CLASS HWND of the focus window of HWND's thread", Focus},
    {"close", "HWND (the close box)", Close},
    {"click", "HWND ID (push button)", Click},
    {"command", "HWND ID (WM_COMMAND without a control)", PostCommand},
    {"text", "HWND ID -> TEXT", Text},
    {"set-text", "HWND ID TEXT", SetText},
    {"enabled", "HWND ID -> 0|1", Enabled},
    {"visible", "HWND ID -> 0|1", Visible},
    {"sample-text", "HWND ID INTERVAL_MS TIMEOUT_MS -> ELAPSED_MS CLOSED N (MS TEXT)... SLOWEST_MS until HWND closes", SampleText},
    {"send", "HWND ID MESSAGE WPARAM LPARAM -> RESULT (messages without pointers; ID 0: the window)", SendPlain},
    {"post", "HWND MESSAGE WPARAM LPARAM (posted to the window, not waited for)", PostPlain},
    {"hold-file", "PATH ACCESS SHARE (CreateFile flags; held open until release-files)", HoldFile},
    {"release-files", "", ReleaseFiles},
    {"combo-items", "HWND ID -> N TEXT...", ComboItems},
    {"combo-selection", "HWND ID -> INDEX", ComboSelection},
    {"combo-select", "HWND ID INDEX", ComboSelect},
    {"ip-get", "HWND ID -> A.B.C.D FILLED_FIELDS", IpGet},
    {"lv-count", "HWND ID -> N", ListCount},
    {"lv-columns", "HWND ID -> N TEXT...", ListColumns},
    {"lv-cells", "HWND ID -> ROWS COLUMNS TEXT...", ListCells},
    {"lv-select", "HWND ID ROW 0|1", ListSelect},
    {"lv-state", "HWND ID ROW -> SELECTED FOCUSED", ListState},
    {"lv-item-rect", "HWND ID ROW -> LEFT TOP RIGHT BOTTOM", ListItemRect},
    {"mouse-click", "HWND ID X Y (client point of the control; ID 0: the window)", MouseClick},
    {"key", "HWND VK (pressed and released while HWND is in front)", Key},
    {"wait-msgbox", "PID TIMEOUT_MS -> HWND", WaitMessageBox},
    {"read-msgbox", "HWND -> CAPTION TEXT ICON N (ID TEXT)...", ReadMessageBoxCommand},
    {"press-msgbox", "HWND ID", PressMessageBox},
};

}  // namespace

const Command* FindCommand(const std::string& name)
{
    for (const Command& command : kCommands)
        if (name == command.name)
            return &command;
    return nullptr;
}

void ListCommands(Answer& answer)
{
    for (const Command& command : kCommands)
        answer.Add(std::string(command.name) + (*command.usage ? " " : "") + command.usage);
}

void SetSendTimeoutCommand(Request& request, Answer& answer)
{
    long long milliseconds = request.Integer(0);
    if (request.Failed())
        return;
    if (milliseconds <= 0) {
        answer.Fail("usage: a positive time");
        return;
    }
    SetSendTimeout(static_cast<UINT>(milliseconds));
}
