// The application's message box as the user sees it: caption, icon and buttons.
#include "dialog_runner.h"
#include "framework_test_ids.h"
#include "msgbox.h"

#include <gtest/gtest.h>

#include <thread>

TEST(AppMessageBox, CaptionIsTheProgramNameAndAPlainOkBoxShowsTheExclamation)
{
    auto answer = AnswerNextMessageBox(IDOK);
    EXPECT_EQ(AfxMessageBox("Select mac address at list"), IDOK);
    MessageBoxInfo box = answer.get();
    EXPECT_EQ(box.caption, "framework_tests");
    EXPECT_EQ(box.text, "Select mac address at list");
    EXPECT_EQ(box.icon, "exclamation");
    ASSERT_EQ(box.buttons.size(), 1u);
    EXPECT_EQ(box.buttons[0].id, IDOK);
}

TEST(AppMessageBox, ANamedIconOrOtherButtonsAreKept)
{
    auto answer = AnswerNextMessageBox(IDNO);
    EXPECT_EQ(AfxMessageBox("Restart?", MB_YESNO | MB_ICONQUESTION), IDNO);
    MessageBoxInfo box = answer.get();
    EXPECT_EQ(box.icon, "question");
    ASSERT_EQ(box.buttons.size(), 2u);
    EXPECT_EQ(box.buttons[0].id, IDYES);
    EXPECT_EQ(box.buttons[1].id, IDNO);

    answer = AnswerNextMessageBox(IDOK);
    AfxMessageBox("Check", MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(answer.get().icon, "information");

    // A box with a caption of its own and no icon, owned by a window.
    answer = AnswerNextMessageBox(IDOK);
    CWnd none;
    none.MessageBox("Succeeded to save information!", "Success", MB_OK);
    box = answer.get();
    EXPECT_EQ(box.caption, "Success");
    EXPECT_EQ(box.icon, "none");
}

namespace {
// A window of another thread takes the foreground, as another program's would: the calling thread
// has no active window any more. Ends when the returned thread's window is closed.
std::thread TakeForeground(HWND& window)
{
    HANDLE shown = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&window, shown] {
        window = ::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr,
                                   nullptr, nullptr, nullptr);
        ::SetForegroundWindow(window);
        ::SetEvent(shown);
        MSG msg;
        while (::IsWindow(window) && ::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
    });
    ::WaitForSingleObject(shown, 5000);
    ::CloseHandle(shown);
    return other;
}
}

TEST(AppMessageBox, InTheBackgroundTheDialogThatRaisesItOwnsItAndIsDisabled)
{
    HWND owner = nullptr, dialog = nullptr;
    bool activeBefore = true, dialogEnabled = true;
    ScriptedDialog raising(IDD_EXCHANGE, [&](ScriptedDialog& self) {
        dialog = self.m_hWnd;
        ::ShowWindow(self.m_hWnd, SW_SHOW);
        HWND elsewhere = nullptr;
        std::thread other = TakeForeground(elsewhere);
        // The deactivation reaches this thread as a message.
        DWORD start = ::GetTickCount();
        MSG msg;
        while (::GetActiveWindow() && ::GetTickCount() - start < 3000) {
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            ::Sleep(10);
        }
        activeBefore = ::GetActiveWindow() != nullptr;
        auto answer = std::async(std::launch::async, [&] {
            HWND box = WaitForMessageBox(0, 5000);
            owner = box ? ::GetWindow(box, GW_OWNER) : nullptr;
            dialogEnabled = ::IsWindowEnabled(dialog) != FALSE;
            if (box)
                PressMessageBoxButton(box, IDOK);
        });
        AfxMessageBox("Remove Error");
        answer.get();
        ::PostMessageA(elsewhere, WM_CLOSE, 0, 0);
        other.join();
    });
    raising.DoModal();
    ASSERT_FALSE(activeBefore) << "the other thread's window did not take the foreground";
    EXPECT_EQ(owner, dialog);
    EXPECT_FALSE(dialogEnabled);
}
