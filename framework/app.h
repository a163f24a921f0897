// The application object: one global instance per program, run by the program's WinMain.
#pragma once
#include "wnd.h"

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up. FALSE: nothing is left running, the program ends (the dialog programs return FALSE
    // once their main dialog has closed). TRUE: a message loop runs until WM_QUIT.
    virtual BOOL InitInstance() = 0;
    // Called when the program ends; its result is the process exit code.
    virtual int ExitInstance() { return 0; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
};

// The program's application object (null before it is constructed).
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// The body of every program's WinMain.
int AfxWinMain(HINSTANCE hInstance);
