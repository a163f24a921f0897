#include "installer_app.h"

#include "install_done_dlg.h"

#include <commctrl.h>

CInstallerApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}

BOOL CInstallerApp::InitInstance()
{
    // The framework's ordinary start-up: the common controls the dialogs may host.
    ::InitCommonControls();

    CInstallDoneDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // Nothing is left running: the program ends once the dialog has closed.
    return FALSE;
}
