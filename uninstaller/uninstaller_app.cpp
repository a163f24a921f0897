#include "uninstaller_app.h"

#include "uninstall_dlg.h"

#include <commctrl.h>

CUninstallerApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}

BOOL CUninstallerApp::InitInstance()
{
    // The framework's ordinary start-up: the common controls the dialogs may host.
    ::InitCommonControls();

    CUninstallDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // Nothing is left running: the program ends once the dialog has closed.
    return FALSE;
}
