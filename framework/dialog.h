// Modal dialog from a dialog resource, with data exchange and one virtual handler per message.
#pragma once
#include "ddx.h"
#include "wnd.h"

#include <commctrl.h>

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog until EndDialog. Returns the EndDialog result, or -1 when the dialog could not
    // be created (missing template, a control class not registered).
    INT_PTR DoModal();
    void EndDialog(INT_PTR nResult);
    // True once EndDialog has been called in this run: a handler that showed a box (whose message
    // loop may have ended the dialog) checks this before it goes on.
    bool HasEnded() const { return m_bEnded; }

    // The dialog of this thread whose handler is running (the innermost one when handlers nest
    // through a box's or another dialog's message loop); null outside every handler.
    static CDialog* Handling();

    // Exchanges every bound value: TRUE pulls the controls into the members, FALSE pushes the members
    // to the controls. Returns FALSE when a pull failed: the user has been told, the failing control
    // has the focus, and that member and those exchanged after it keep their values.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);

    // WM_INITDIALOG. The base pushes the members to the controls and returns TRUE (default focus).
    virtual BOOL OnInitDialog();
    // IDOK (the default button, Enter). The base pulls the controls and ends with IDOK when that succeeded.
    virtual void OnOK();
    // IDCANCEL (Cancel, Esc, the close box). The base ends with IDCANCEL.
    virtual void OnCancel();
    // WM_COMMAND from any other control or command. TRUE when handled.
    virtual BOOL OnCommand(WORD nID, WORD nCode, HWND hCtl);
    // WM_NOTIFY. TRUE when handled, with the notification's result in *pResult.
    virtual BOOL OnNotify(NMHDR* pNMHDR, LRESULT* pResult);
    // WM_TIMER. The base passes the tick to the system's default handling: a dialog calls it for
    // ticks that are not its own.
    virtual void OnTimer(UINT_PTR nIDEvent);
    // WM_PAINT. FALSE leaves the painting to the system.
    virtual BOOL OnPaint() { return FALSE; }
    // WM_QUERYDRAGICON: the icon shown while the minimised window is dragged (null: the default).
    virtual HICON OnQueryDragIcon() { return nullptr; }
    // Any other message (socket notifications, ...). TRUE when handled, with the result in *pResult.
    virtual BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    bool m_bEnded = false;
    bool m_bDefaultHandling = false;  // set by a base handler that leaves the message to the system

    // After initialisation, like the application framework: a dialog whose template was not
    // visible, that initialisation did not move, is centred on its owner (or the screen).
    void CenterAfterInit(DWORD styleBefore, const RECT& rectBefore);

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};
