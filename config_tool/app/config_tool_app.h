// kvrconfig's application object: start-up, then the main window as a modal dialog.
#pragma once
#include "app.h"

class CConfigToolApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    // The command line after the program's name, from WinMain.
    const char* m_pszArguments = "";

private:
    bool m_bSocketsStarted = false;
    int m_nExitCode = 0;
};
