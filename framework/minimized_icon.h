// The application icon of a dialog program: drawn centred in the client area while the dialog is
// minimised, and the same icon given while the minimised window is dragged.
#pragma once
#include "wnd.h"

// WM_PAINT of a dialog with an application icon. FALSE (the system paints) unless minimised.
inline BOOL PaintMinimizedIcon(CWnd& wnd, HICON icon)
{
    if (!wnd.IsIconic())
        return FALSE;
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(wnd.m_hWnd, &ps);
    wnd.SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    RECT rect;
    wnd.GetClientRect(&rect);
    int x = (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(hdc, x, y, icon);
    ::EndPaint(wnd.m_hWnd, &ps);
    return TRUE;
}
