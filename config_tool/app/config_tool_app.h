// kvrconfig's application object: start-up, then the main window as a modal dialog.
#pragma once
#include "app.h"

class CConfigToolApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    bool m_bSocketsStarted = false;
};
