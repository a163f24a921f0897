#include "dialog.h"

#include "app.h"

namespace {
thread_local CDialog* t_handling = nullptr;

// Marks a dialog as the one handling a message, for as long as its handler runs.
class HandlingScope {
public:
    explicit HandlingScope(CDialog* dialog) : m_previous(t_handling) { t_handling = dialog; }
    ~HandlingScope() { t_handling = m_previous; }
    HandlingScope(const HandlingScope&) = delete;
    HandlingScope& operator=(const HandlingScope&) = delete;

private:
    CDialog* m_previous;
};
}

CDialog* CDialog::Handling()
{
    return t_handling;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        // Like the application framework: without a parent, the main window owns the dialog.
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd != this)
            owner = app->m_pMainWnd->m_hWnd;
    }
    m_bEnded = false;
    INT_PTR result = ::DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

void CDialog::EndDialog(INT_PTR nResult)
{
    m_bEnded = true;
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WORD, WORD, HWND)
{
    return FALSE;
}

BOOL CDialog::OnNotify(NMHDR*, LRESULT*)
{
    return FALSE;
}

void CDialog::OnTimer(UINT_PTR)
{
    m_bDefaultHandling = true;
}

BOOL CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
    } else {
        dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT, ...) go to the system's handling.
    return dialog ? dialog->Dispatch(message, wParam, lParam) : FALSE;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    HandlingScope handling(this);
    switch (message) {
    case WM_INITDIALOG: {
        DWORD styleBefore = static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE));
        RECT rectBefore;
        ::GetWindowRect(m_hWnd, &rectBefore);
        BOOL result = OnInitDialog();
        if (!m_bEnded)
            CenterAfterInit(styleBefore, rectBefore);
        return result;
    }
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        WORD code = HIWORD(wParam);
        HWND hCtl = reinterpret_cast<HWND>(lParam);
        if (id == IDOK && (code == BN_CLICKED || !hCtl)) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && (code == BN_CLICKED || !hCtl)) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, code, hCtl);
    }
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(reinterpret_cast<NMHDR*>(lParam), &result))
            return FALSE;
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_TIMER:
        m_bDefaultHandling = false;
        OnTimer(static_cast<UINT_PTR>(wParam));
        return m_bDefaultHandling ? FALSE : TRUE;
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        // One of the messages whose result a dialog procedure returns directly.
        return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
    default: {
        LRESULT result = 0;
        if (!OnMessage(message, wParam, lParam, &result))
            return FALSE;
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

void CDialog::CenterAfterInit(DWORD styleBefore, const RECT& rectBefore)
{
    if ((styleBefore & WS_VISIBLE) || (::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & (WS_VISIBLE | WS_CHILD)))
        return;
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    if (rect.left != rectBefore.left || rect.top != rectBefore.top)
        return;
    // A modal dialog's owner is disabled while it runs, which is the framework's condition: every
    // dialog run here is centred, on its owner when that is shown, otherwise on the screen.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    RECT center = area;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &center);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = (center.left + center.right) / 2 - width / 2;
    int y = (center.top + center.bottom) / 2 - height / 2;
    // Kept on the screen's work area.
    if (x + width > area.right)
        x = area.right - width;
    if (x < area.left)
        x = area.left;
    if (y + height > area.bottom)
        y = area.bottom - height;
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
