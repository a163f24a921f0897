// kvrlancom_installer's application object: runs the completion dialog, whose initialisation
// does the whole installation; with /quiet does the same work with no window (install_work.h).
#pragma once
#include "deploy_app.h"

class CInstallerApp : public CDeployApp {
protected:
    int RunQuiet() override;
    void RunDialog() override;
};
