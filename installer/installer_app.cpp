#include "installer_app.h"

#include "install_done_dlg.h"
#include "msgbox.h"

#include <commctrl.h>

CInstallerApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    theApp.m_pszArguments = lpCmdLine;
    theApp.m_runMode = ParseRunMode(lpCmdLine);
    return AfxWinMain(hInstance);
}

BOOL CInstallerApp::InitInstance()
{
    switch (m_runMode) {
    case RunMode::Invalid:
        AfxMessageBox(InvalidArgumentMessage(m_pszArguments).c_str(), MB_OK);
        m_nExitCode = kExitInvalidArgument;
        return FALSE;
    case RunMode::Quiet:
        m_nExitCode = RunQuietInstall();
        return FALSE;
    case RunMode::Interactive:
        break;
    }

    // The framework's ordinary start-up: the common controls the dialogs may host.
    ::InitCommonControls();

    CInstallDoneDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // Nothing is left running: the program ends once the dialog has closed.
    return FALSE;
}
