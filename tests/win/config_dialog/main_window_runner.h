// The real main window (dialog 102) run on the test's thread, with test code run inside its message
// loop once it is open, as the user's clicks would be.
#pragma once
#include "config_dialog_runner.h"

#include "app/config_tool_dlg.h"

#include <functional>

class MainWindowRunner : public CConfigToolDlg {
public:
    explicit MainWindowRunner(std::function<void(MainWindowRunner&)> body) : m_body(std::move(body)) {}
    using CConfigToolDlg::m_lstPrinters;

    void Run()
    {
        StartUpLikeTheTool();
        DoModal();
    }
    // A click on one of the window's buttons; returns when its handler has.
    void Press(int id) { SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(id))); }
    // Selects a list row (others keep their state); the list tells the window, which takes the row as chosen.
    void SelectRow(int row)
    {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        m_lstPrinters.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }

protected:
    BOOL OnInitDialog() override
    {
        CConfigToolDlg::OnInitDialog();
        ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        return TRUE;
    }
    BOOL OnMessage(UINT message, WPARAM, LPARAM, LRESULT* pResult) override
    {
        if (message != WM_APP)
            return FALSE;
        m_body(*this);
        EndDialog(IDCANCEL);
        *pResult = 0;
        return TRUE;
    }

private:
    std::function<void(MainWindowRunner&)> m_body;
};
