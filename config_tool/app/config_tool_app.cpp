#include <winsock2.h>

#include "config_tool_app.h"

#include "config_tool_dlg.h"
#include "msgbox.h"
#include "../net/winsock_control.h"

#include <commctrl.h>

#include <cstdio>

CConfigToolApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return AfxWinMain(hInstance);
}

BOOL CConfigToolApp::InitInstance()
{
    // Control hosting: the common controls of the dialogs and the UDP endpoint control.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterWinsockControlClass(m_hInstance);

    WSADATA wsaData;
    if (::WSAStartup(MAKEWORD(2, 2), &wsaData) != 0) {
        char text[128];
        std::snprintf(text, sizeof text, "Error : Failure to create Socket Object! : %d, %d", ::WSAGetLastError(),
                      static_cast<int>(::GetLastError()));
        AfxMessageBox(text, MB_OK);
    } else {
        m_bSocketsStarted = true;
    }

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
