// Dialog data exchange: member values to controls and back, without exceptions.
// Once one exchange has failed, every later exchange of the same pass does nothing, so the
// failing member and those after it keep their values.
#pragma once
#include <windows.h>
#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;

    // The control nIDC of the dialog, remembered as the one a failure will focus; null when absent.
    HWND PrepareCtrl(int nIDC);
    // Ends the pass as failed and gives the last prepared control the focus (all its text selected).
    void Fail();
    bool Failed() const { return m_bFailed; }

private:
    HWND m_hLastCtrl = nullptr;
    bool m_bFailed = false;
};

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// Decimal integer. A pull of text that is not one integer shows "Please enter an integer." and fails.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// Check box state: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Binds a control wrapper to the dialog's control nIDC (every exchange, either direction).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

// The integer rule of the exchange: optional blanks, an optional sign, decimal digits, optional
// blanks, and a value that fits an int. Returns false, leaving value alone, for anything else.
bool ParseDialogInteger(const std::string& text, int& value);
