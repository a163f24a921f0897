// Finds and reads the message boxes of a process from outside, as a user sees them, and presses
// their buttons. Used by the tests (a box of the test process itself, from another thread) and by
// the window driver (a box of the program under test).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct MessageBoxButton {
    int id;            // IDOK, IDCANCEL, IDYES, ...
    std::string text;  // "OK", "&Yes", ...
};

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    // "exclamation", "information", "question", "error" or "none".
    std::string icon;
    std::vector<MessageBoxButton> buttons;
};

// The first visible message box of process pid (0: this process), waiting up to timeoutMs for one
// to appear. Null when none appeared.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs);
// True when hwnd is a message box: a dialog with a text static, no edit or list, and only push buttons.
bool IsMessageBox(HWND hwnd);
// Reads caption, text, icon and buttons. False when hwnd is not a message box.
bool ReadMessageBox(HWND hwnd, MessageBoxInfo& info);
// Presses the button with this id, as a click does. False when the box has no such button.
bool PressMessageBoxButton(HWND hwnd, int buttonId);
// Waits up to timeoutMs for hwnd to be gone.
bool WaitForWindowGone(HWND hwnd, DWORD timeoutMs);
