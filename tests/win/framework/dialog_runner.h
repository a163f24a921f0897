// Runs test code inside a real modal dialog's message loop, and answers the message boxes that
// code shows from a second thread, as a user would.
#pragma once
#include "dialog.h"
#include "message_box_probe.h"

#include <functional>
#include <future>
#include <thread>

// A dialog that runs body once it is open, then ends with IDCANCEL unless body ended it.
class ScriptedDialog : public CDialog {
public:
    ScriptedDialog(UINT idd, std::function<void(ScriptedDialog&)> body) : CDialog(idd), m_body(std::move(body)) {}
    using CDialog::UpdateData;
    std::function<void(CDataExchange*)> exchange;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (exchange)
            exchange(pDX);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        return TRUE;
    }
    BOOL OnMessage(UINT message, WPARAM, LPARAM, LRESULT* pResult) override
    {
        if (message != WM_APP)
            return FALSE;
        m_body(*this);
        if (::IsWindow(m_hWnd))
            EndDialog(IDCANCEL);
        *pResult = 0;
        return TRUE;
    }

private:
    std::function<void(ScriptedDialog&)> m_body;
};

// Waits on another thread for the next message box of this process, reads it and presses buttonId.
inline std::future<MessageBoxInfo> AnswerNextMessageBox(int buttonId, DWORD timeoutMs = 5000)
{
    return std::async(std::launch::async, [=] {
        MessageBoxInfo info;
        HWND box = WaitForMessageBox(0, timeoutMs);
        if (box && ReadMessageBox(box, info))
            PressMessageBoxButton(box, buttonId);
        return info;
    });
}
