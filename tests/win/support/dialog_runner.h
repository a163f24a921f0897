// Runs test code inside a real modal dialog's message loop, and answers the message boxes that
// code shows from a second thread, as a user would.
#pragma once
#include "dialog.h"
#include "dialog_driver.h"
#include "message_box_probe.h"

#include <functional>
#include <future>
#include <thread>
#include <utility>

// Base (a dialog class) running test code inside its own message loop once it is open, as the
// user's clicks would come. Afterwards the dialog closes with IDCANCEL unless the body closed it.
// Derived is the test's class, which the body receives.
template <class Derived, class Base>
class Scripted : public Base {
public:
    using Body = std::function<void(Derived&)>;

    template <class... BaseArgs>
    explicit Scripted(Body body, BaseArgs&&... baseArgs) : Base(std::forward<BaseArgs>(baseArgs)...), m_body(std::move(body))
    {
    }

    // A click on one of the dialog's buttons; returns when its handler has.
    void Press(int id)
    {
        if (id == IDOK || id == IDCANCEL)
            m_closedByBody = true;
        this->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(this->GetDlgItem(id)));
    }
    // Ends the dialog with result. (After EndDialog the window lives on until the modal loop
    // returns, so IsWindow cannot tell whether the body ended it.)
    void Close(INT_PTR result)
    {
        m_closedByBody = true;
        this->EndDialog(result);
    }

    bool m_closedByBody = false;

protected:
    BOOL OnInitDialog() override
    {
        Base::OnInitDialog();
        ::PostMessageA(this->m_hWnd, WM_APP, 0, 0);
        return TRUE;
    }
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message != WM_APP)
            return Base::OnMessage(message, wParam, lParam, pResult);
        m_body(static_cast<Derived&>(*this));
        if (!m_closedByBody)
            this->EndDialog(IDCANCEL);
        *pResult = 0;
        return TRUE;
    }

private:
    Body m_body;
};

// A plain dialog resource whose data exchange is the test's.
class ExchangeDialog : public CDialog {
public:
    explicit ExchangeDialog(UINT idd, CWnd* parent = nullptr) : CDialog(idd, parent) {}
    using CDialog::UpdateData;
    std::function<void(CDataExchange*)> exchange;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (exchange)
            exchange(pDX);
    }
};

class ScriptedDialog : public Scripted<ScriptedDialog, ExchangeDialog> {
public:
    ScriptedDialog(UINT idd, Body body, CWnd* parent = nullptr) : Scripted(std::move(body), idd, parent) {}
};

// AnswerMessageBox on another thread: for test code that shows the box itself.
inline std::future<MessageBoxInfo> AnswerNextMessageBox(int buttonId, DWORD timeoutMs = 5000)
{
    return std::async(std::launch::async, [=] { return AnswerMessageBox(buttonId, timeoutMs); });
}
