// The application's message box, as every program of the system shows it.
#pragma once
#include <windows.h>

#include "app_name.h"

// Shows text with the program's name as caption, owned by the program's active window; in the
// background (no active window), by the shown dialog whose handler raises it, else the main window.
// A box with the OK button alone and no icon named in nType shows the exclamation icon.
// Returns the button pressed (IDOK, IDYES, ...).
int AfxMessageBox(const char* text, UINT nType = MB_OK);
