// The application's message box as the user sees it: caption, icon and buttons.
#include "dialog_runner.h"
#include "msgbox.h"

#include <gtest/gtest.h>

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
