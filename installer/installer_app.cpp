#include "installer_app.h"

#include "install_done_dlg.h"
#include "install_work.h"

CInstallerApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    return DeployWinMain(theApp, hInstance, lpCmdLine);
}

int CInstallerApp::RunQuiet()
{
    return HasSwitch(m_pszArguments, kUpdateSwitch) ? RunQuietUpdate() : RunQuietInstall();
}

void CInstallerApp::RunDialog()
{
    CInstallDoneDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
}
