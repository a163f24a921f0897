// kvrlancom_installer's application object: runs the completion dialog, whose initialisation
// does the whole installation; with /quiet does the same work with no window and ends with an
// exit code for deployment tools (install_work.h, run_mode.h).
#pragma once
#include "app.h"
#include "run_mode.h"

class CInstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override { return m_nExitCode; }

    // From the command line, before start-up.
    RunMode m_runMode = RunMode::Interactive;
    const char* m_pszArguments = "";

private:
    int m_nExitCode = 0;
};
