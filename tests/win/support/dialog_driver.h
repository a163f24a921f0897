// Drives a modal dialog of this process from a second thread, as a user would: messages to its
// controls, clicks posted to it, message boxes read and answered.
#pragma once
#include "message_box_probe.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include <string>
#include <vector>

inline void ClickButton(HWND dlg, int id)
{
    ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
}

// A click on a check box: it flips itself and tells the dialog.
inline void ClickCheckBox(HWND dlg, int id)
{
    ::SendMessageA(::GetDlgItem(dlg, id), BM_CLICK, 0, 0);
}

inline bool IsChecked(HWND dlg, int id)
{
    return ::SendMessageA(::GetDlgItem(dlg, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline bool IsEnabled(HWND dlg, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(dlg, id)) != FALSE;
}

inline void SetFieldText(HWND dlg, int id, const char* text)
{
    ::SendMessageA(::GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

inline std::string FieldText(HWND dlg, int id)
{
    char text[256] = {0};
    ::SendMessageA(::GetDlgItem(dlg, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// The four fields of an IP address control, "a.b.c.d", blank fields as 0; filled gets the number of
// non-blank fields.
inline std::string AddressText(HWND dlg, int id, int* filled = nullptr)
{
    DWORD address = 0;
    int count = static_cast<int>(::SendMessageA(::GetDlgItem(dlg, id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
    if (filled)
        *filled = count;
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", static_cast<unsigned>(FIRST_IPADDRESS(address)),
                  static_cast<unsigned>(SECOND_IPADDRESS(address)), static_cast<unsigned>(THIRD_IPADDRESS(address)),
                  static_cast<unsigned>(FOURTH_IPADDRESS(address)));
    return text;
}

inline void SetAddress(HWND dlg, int id, BYTE a, BYTE b, BYTE c, BYTE d)
{
    ::SendMessageA(::GetDlgItem(dlg, id), IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(a, b, c, d)));
}

inline void ClearAddress(HWND dlg, int id)
{
    ::SendMessageA(::GetDlgItem(dlg, id), IPM_CLEARADDRESS, 0, 0);
}

inline std::vector<std::string> ComboItems(HWND dlg, int id)
{
    HWND combo = ::GetDlgItem(dlg, id);
    std::vector<std::string> items;
    int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {0};
        if (::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < static_cast<LRESULT>(sizeof text))
            ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

inline int ComboSelection(HWND dlg, int id)
{
    return static_cast<int>(::SendMessageA(::GetDlgItem(dlg, id), CB_GETCURSEL, 0, 0));
}

inline std::string ComboSelectedText(HWND dlg, int id)
{
    int selected = ComboSelection(dlg, id);
    std::vector<std::string> items = ComboItems(dlg, id);
    return selected >= 0 && selected < static_cast<int>(items.size()) ? items[static_cast<size_t>(selected)] : std::string();
}

// Selects the item whose text is exactly text; false when there is none.
inline bool SelectComboItem(HWND dlg, int id, const std::string& text)
{
    std::vector<std::string> items = ComboItems(dlg, id);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            ::SendMessageA(::GetDlgItem(dlg, id), CB_SETCURSEL, i, 0);
            return true;
        }
    }
    return false;
}

// Waits for the next message box of this process, reads it, presses buttonId and waits until it is
// gone. An empty info (null hwnd) when none came in time.
inline MessageBoxInfo AnswerMessageBox(int buttonId, DWORD timeoutMs = 5000)
{
    MessageBoxInfo info;
    HWND box = WaitForMessageBox(0, timeoutMs);
    if (box && ReadMessageBox(box, info) && PressMessageBoxButton(box, buttonId))
        WaitForWindowGone(box, timeoutMs);
    return info;
}

struct MessageBoxCount {
    DWORD pid;
    int n;
};

inline BOOL CALLBACK CountMessageBox(HWND hwnd, LPARAM lParam)
{
    auto* count = reinterpret_cast<MessageBoxCount*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == count->pid && ::IsWindowVisible(hwnd) && IsMessageBox(hwnd))
        ++count->n;
    return TRUE;
}

inline int VisibleMessageBoxCount()
{
    MessageBoxCount count = {::GetCurrentProcessId(), 0};
    ::EnumWindows(CountMessageBox, reinterpret_cast<LPARAM>(&count));
    return count.n;
}

// Waits for a top-level window of this process with this caption.
inline HWND WaitForDialog(const char* caption, DWORD timeoutMs = 5000)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        HWND found = ::FindWindowA(nullptr, caption);
        DWORD pid = 0;
        if (found)
            ::GetWindowThreadProcessId(found, &pid);
        if (found && pid == ::GetCurrentProcessId() && ::IsWindowVisible(found))
            return found;
        if (::GetTickCount() - start >= timeoutMs)
            return nullptr;
        ::Sleep(10);
    }
}

// Whatever a failed test left open is closed, so that the dialog's modal loop ends.
inline void CloseDialogAndBoxes(HWND dlg)
{
    // A dialog that is ending by itself is left to end with its own result.
    if (WaitForWindowGone(dlg, 1000))
        return;
    for (int attempt = 0; attempt < 200 && ::IsWindow(dlg); ++attempt) {
        if (HWND box = WaitForMessageBox(0, 0))
            PressMessageBoxButton(box, IDOK);
        else
            ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::Sleep(25);
    }
}
