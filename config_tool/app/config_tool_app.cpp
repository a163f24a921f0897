#include <winsock2.h>

#include "config_tool_app.h"

#include "config_tool_dlg.h"
#include "startup.h"

CConfigToolApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}

BOOL CConfigToolApp::InitInstance()
{
    EnableControlHosting(m_hInstance);
    m_bSocketsStarted = StartSocketLayer(MAKEWORD(2, 2));

    CConfigToolDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // Nothing is left running: the program ends once the main window has closed.
    return FALSE;
}

int CConfigToolApp::ExitInstance()
{
    if (m_bSocketsStarted)
        ::WSACleanup();
    return 0;
}
