// kvrlancom_uninstaller's application object: runs the confirmation dialog; with /quiet removes
// everything with no window (remove_package.h).
#pragma once
#include "deploy_app.h"

class CUninstallerApp : public CDeployApp {
protected:
    int RunQuiet() override;
    void RunDialog() override;
};
