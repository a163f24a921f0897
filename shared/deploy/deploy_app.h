// The application object of the installer and the uninstaller: with no arguments it runs the
// program's dialog, with /quiet the same work with no window, ending with the exit code deployment
// tools read; any other argument is refused (run_mode.h) naming the accepted ones.
#pragma once
#include "app.h"
#include "run_mode.h"

class CDeployApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override { return m_nExitCode; }

    // The program's switch beside /quiet (run_mode.h); null when it has none.
    virtual const char* OwnSwitch() const { return nullptr; }

    // From the command line, before start-up (DeployWinMain).
    RunMode m_runMode = RunMode::Interactive;
    const char* m_pszArguments = "";

protected:
    // The work with no window; its exit code (kExitDone, kExitRestartNeeded, kExitFailed). The
    // steps that failed (failed_steps.h) are named on standard output afterwards.
    virtual int RunQuiet() = 0;
    // The program's dialog, run modally as the main window.
    virtual void RunDialog() = 0;

private:
    int m_nExitCode = 0;
};

// The body of the installer's and the uninstaller's WinMain.
int DeployWinMain(CDeployApp& app, HINSTANCE hInstance, const char* arguments);
