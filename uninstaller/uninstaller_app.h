// kvrlancom_uninstaller's application object: runs the confirmation dialog; with /quiet removes
// everything with no window and ends with an exit code for deployment tools (remove_package.h,
// run_mode.h).
#pragma once
#include "app.h"
#include "run_mode.h"

class CUninstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override { return m_nExitCode; }

    // From the command line, before start-up.
    RunMode m_runMode = RunMode::Interactive;
    const char* m_pszArguments = "";

private:
    int m_nExitCode = 0;
};
