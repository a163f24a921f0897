// Combo boxes of the program under test.
#include "commands.h"
#include "target.h"

#include <vector>

namespace {

// The system carries CB_GETLBTEXT between processes, but under Wine the ANSI form comes back in
// UTF-16 (only the first character survives as a narrow string): ask for UTF-16 and convert here.
bool ItemText(HWND combo, LRESULT index, std::string& text)
{
    LRESULT length = 0;
    if (!SendToTarget(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, &length) || length < 0)
        return false;
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.data()),
                               SMTO_NORMAL, SendTimeout(), &copied))
        return false;
    wide.back() = L'\0';
    int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    std::vector<char> narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, narrow.data(), size, nullptr, nullptr);
    text = narrow.data();
    return true;
}

}  // namespace

void ComboItems(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND combo = TargetControl(window, request, 1, answer);
    LRESULT count = 0;
    if (!combo)
        return;
    if (!SendToTarget(combo, CB_GETCOUNT, 0, 0, &count) || count < 0) {
        answer.Fail("no answer");
        return;
    }
    answer.Add(static_cast<long long>(count));
    for (LRESULT i = 0; i < count; ++i) {
        std::string text;
        if (!ItemText(combo, i, text)) {
            answer.Fail("no answer");
            return;
        }
        answer.Add(text);
    }
}

void ComboSelection(Request& request, Answer& answer)
{
    AnswerControlQuery(request, answer, CB_GETCURSEL);
}

void ComboSelect(Request& request, Answer& answer)
{
    HWND window = TargetWindow(request, 0, answer);
    HWND combo = TargetControl(window, request, 1, answer);
    long long index = request.Integer(2);
    if (!combo || request.Failed())
        return;
    LRESULT result = 0;
    if (!SendToTarget(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, &result) || result == CB_ERR) {
        answer.Fail("no such item");
        return;
    }
    // A user's choice also tells the parent; CB_SETCURSEL alone does not.
    int id = ::GetDlgCtrlID(combo);
    ::PostMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}
