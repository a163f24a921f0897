// kvrlancom_uninstaller's application object: runs the confirmation dialog, whose OK removes the
// package.
#pragma once
#include "app.h"

class CUninstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
