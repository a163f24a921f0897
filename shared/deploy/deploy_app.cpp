#include "deploy_app.h"

#include "failed_steps.h"
#include "standard_output.h"

#include "msgbox.h"

#include <commctrl.h>

BOOL CDeployApp::InitInstance()
{
    switch (m_runMode) {
    case RunMode::Invalid:
        AfxMessageBox(InvalidArgumentMessage(m_pszArguments).c_str(), MB_OK);
        m_nExitCode = kExitInvalidArgument;
        return FALSE;
    case RunMode::Quiet:
        m_nExitCode = RunQuiet();
        // Each step that failed gets its line, for whoever reads the redirected output.
        for (const FailedStep& step : TakeFailedSteps())
            WriteStandardOutputLine(FailedStepLine(step).c_str());
        return FALSE;
    case RunMode::Interactive:
        break;
    }
    // The framework's ordinary start-up: the common controls the dialogs may host.
    ::InitCommonControls();
    RunDialog();
    // Nothing is left running: the program ends once the dialog has closed.
    return FALSE;
}

int DeployWinMain(CDeployApp& app, HINSTANCE hInstance, const char* arguments)
{
    app.m_pszArguments = arguments;
    app.m_runMode = ParseRunMode(arguments);
    return AfxWinMain(hInstance);
}
