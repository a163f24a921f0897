// kvrlancom_installer's application object: runs the completion dialog, whose initialisation
// does the whole installation.
#pragma once
#include "app.h"

class CInstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
