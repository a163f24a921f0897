#include <winsock2.h>

#include "config_tool_app.h"

#include "config_tool_dlg.h"
#include "startup.h"
#include "../command/command_run.h"

CConfigToolApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    theApp.m_pszArguments = lpCmdLine;
    return AfxWinMain(hInstance);
}

BOOL CConfigToolApp::InitInstance()
{
    // A switch for deployment scripts: its job on the port store, with no window and no socket.
    Command command = ParseCommandLine(m_pszArguments);
    if (command.kind != CommandKind::OpenTool) {
        m_nExitCode = RunCommandOnConsole(command);
        return FALSE;
    }

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
    return m_nExitCode;
}
