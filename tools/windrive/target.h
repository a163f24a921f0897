// Reaching the windows of the program under test: controls by ID, messages that cannot hang the
// driver, and texts read across the process boundary.
#pragma once
#include <windows.h>

#include "request.h"

#include <string>
#include <vector>

// How long a message to the program may take before the driver gives up on it (5 s unless set).
void SetSendTimeout(UINT milliseconds);
UINT SendTimeout();

// Top-level windows of process pid (0: of every process), hidden ones included.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);
// The top-level window of argument i; fails the answer when it is not a window.
HWND TargetWindow(Request& request, size_t i, Answer& answer);
// The child with the ID of argument i of window; fails the answer when there is none.
HWND TargetControl(HWND window, Request& request, size_t i, Answer& answer);
// SendMessageTimeout that reports a hung or vanished target as failure.
bool SendToTarget(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr);
// Sends message, without arguments, to the control named by arguments 0 (window) and 1 (control
// ID), and answers with its result; fails the answer when the control gives none.
void AnswerControlQuery(Request& request, Answer& answer, UINT message);
// WM_GETTEXT (marshalled between processes by the system).
bool ReadWindowText(HWND hwnd, std::string& text);
// Milliseconds from an arbitrary start, for timing what the program does.
double NowMs();
