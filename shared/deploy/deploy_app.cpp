#include "deploy_app.h"

#include "failed_steps.h"
#include "standard_output.h"

#include "msgbox.h"

#include <commctrl.h>

namespace {
// Whether a box could be seen and answered: a service, a deployment tool's SYSTEM account and a
// scheduled task run in a window station without a visible desktop, where a box waits for ever.
bool DesktopVisible()
{
    USEROBJECTFLAGS flags = {};
    return ::GetUserObjectInformationA(::GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, nullptr) &&
           (flags.dwFlags & WSF_VISIBLE) != 0;
}

void RefuseArguments(const char* arguments, const char* ownSwitch)
{
    std::string message = InvalidArgumentMessage(arguments, ownSwitch);
    if (!HasSwitch(arguments, kQuietSwitch) && DesktopVisible()) {
        AfxMessageBox(message.c_str(), MB_OK);
        return;
    }
    for (char& c : message)
        if (c == '\n')
            c = ' ';
    WriteStandardOutputLine((message + "\n").c_str());
}
}

BOOL CDeployApp::InitInstance()
{
    switch (m_runMode) {
    case RunMode::Invalid:
        RefuseArguments(m_pszArguments, OwnSwitch());
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
    app.m_runMode = ParseRunMode(arguments, app.OwnSwitch());
    return AfxWinMain(hInstance);
}
