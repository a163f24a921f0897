// kvrlancom_installer's application object: runs the completion dialog, whose initialisation
// does the whole installation; with /quiet does the same work with no window (install_work.h).
#pragma once
#include "deploy_app.h"
#include "install_work.h"

class CInstallerApp : public CDeployApp {
public:
    const char* OwnSwitch() const override { return kUpdateSwitch; }

protected:
    int RunQuiet() override;
    void RunDialog() override;
};
