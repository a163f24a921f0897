#include "uninstaller_app.h"

#include "remove_package.h"
#include "uninstall_dlg.h"

CUninstallerApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    return DeployWinMain(theApp, hInstance, lpCmdLine);
}

int CUninstallerApp::RunQuiet()
{
    return RunQuietUninstall();
}

void CUninstallerApp::RunDialog()
{
    CUninstallDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
}
