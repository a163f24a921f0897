#include "msgbox.h"

#include "app.h"
#include "dialog.h"

int AfxMessageBox(const char* text, UINT nType)
{
    if ((nType & MB_ICONMASK) == 0 && (nType & MB_TYPEMASK) == MB_OK)
        nType |= MB_ICONEXCLAMATION;
    HWND owner = ::GetActiveWindow();
    if (!owner) {
        // In the background the thread has no active window. The dialog that raises the box owns
        // it, so that the dialog is disabled while the box is up and takes no second click. One not
        // shown yet (a box raised while it initialises) leaves the box to its own owner.
        if (CDialog* raising = CDialog::Handling()) {
            owner = raising->m_hWnd;
            if (owner && !::IsWindowVisible(owner))
                owner = ::GetWindow(owner, GW_OWNER);
        }
    }
    if (!owner) {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd)
            owner = app->m_pMainWnd->m_hWnd;
    }
    std::string caption = AfxGetAppName();
    return ::MessageBoxA(owner, text, caption.c_str(), nType);
}
