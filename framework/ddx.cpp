#include "ddx.h"

#include "msgbox.h"
#include "wnd.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hLastCtrl = m_pDlgWnd->GetDlgItem(nIDC);
    return m_hLastCtrl;
}

void CDataExchange::Fail()
{
    m_bFailed = true;
    if (m_hLastCtrl) {
        ::SetFocus(m_hLastCtrl);
        char className[16] = {0};
        ::GetClassNameA(m_hLastCtrl, className, sizeof className);
        if (lstrcmpiA(className, "Edit") == 0)
            ::SendMessageA(m_hLastCtrl, EM_SETSEL, 0, -1);
    }
}

bool ParseDialogInteger(const std::string& text, int& value)
{
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    const char* digits = (*p == '+' || *p == '-') ? p + 1 : p;
    if (*digits < '0' || *digits > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(p, &end, 10);
    if (errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0')
        return false;
    value = static_cast<int>(parsed);
    return true;
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value)
{
    if (pDX->Failed())
        return;
    HWND hCtl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = GetWindowTextOf(hCtl);
    else
        ::SetWindowTextA(hCtl, value.c_str());
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed())
        return;
    HWND hCtl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        if (!ParseDialogInteger(GetWindowTextOf(hCtl), value)) {
            AfxMessageBox("Please enter an integer.");
            pDX->Fail();
        }
    } else {
        char text[16];
        std::snprintf(text, sizeof text, "%d", value);
        ::SetWindowTextA(hCtl, text);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->Failed())
        return;
    HWND hCtl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hCtl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hCtl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control)
{
    if (pDX->Failed())
        return;
    control.m_hWnd = pDX->PrepareCtrl(nIDC);
}
