// The real main window (dialog 102) run on the test's thread, with test code run inside its message
// loop once it is open, as the user's clicks would be.
#pragma once
#include "config_dialog_runner.h"

#include "app/config_tool_dlg.h"
#include "dialog_runner.h"

#include <functional>

class MainWindowRunner : public Scripted<MainWindowRunner, CConfigToolDlg> {
public:
    explicit MainWindowRunner(Body body) : Scripted(std::move(body)) {}
    using CConfigToolDlg::m_lstPrinters;

    void Run()
    {
        StartUpLikeTheTool();
        DoModal();
    }
    // Selects or deselects a list row (others keep their state); the list tells the window, which
    // takes the row whose state changed as the chosen one.
    void SetRowSelected(int row, bool selected)
    {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        m_lstPrinters.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    void SelectRow(int row) { SetRowSelected(row, true); }
};
