// Data exchange on a real dialog: both directions, and a refused integer.
#include "dialog_runner.h"
#include "framework_test_ids.h"
#include "wnd.h"

#include <gtest/gtest.h>

namespace {
struct Members {
    int first = 0;
    std::string name;
    int second = 0;
    int flag = 0;
};

void Bind(ScriptedDialog& dlg, Members& m)
{
    dlg.exchange = [&m](CDataExchange* pDX) {
        DDX_Text(pDX, IDC_FIRST_NUMBER, m.first);
        DDX_Text(pDX, IDC_NAME, m.name);
        DDX_Text(pDX, IDC_SECOND_NUMBER, m.second);
        DDX_Check(pDX, IDC_FLAG, m.flag);
    };
}

std::string Text(ScriptedDialog& dlg, int id)
{
    return GetWindowTextOf(dlg.GetDlgItem(id));
}
}

TEST(DataExchange, MembersGoToTheControlsAndBack)
{
    Members m;
    m.first = -515;
    m.name = "COM3";
    m.second = 65535;
    m.flag = 1;
    ScriptedDialog dlg(IDD_EXCHANGE, [&](ScriptedDialog& d) {
        Bind(d, m);
        ASSERT_TRUE(d.UpdateData(FALSE));
        EXPECT_EQ(Text(d, IDC_FIRST_NUMBER), "-515");
        EXPECT_EQ(Text(d, IDC_SECOND_NUMBER), "65535");
        EXPECT_EQ(::SendMessageA(d.GetDlgItem(IDC_FLAG), BM_GETCHECK, 0, 0), BST_CHECKED);
        ::SetWindowTextA(d.GetDlgItem(IDC_FIRST_NUMBER), "  42 ");
        ::SetWindowTextA(d.GetDlgItem(IDC_NAME), "COM10");
        ::SetWindowTextA(d.GetDlgItem(IDC_SECOND_NUMBER), "0");
        ::SendMessageA(d.GetDlgItem(IDC_FLAG), BM_SETCHECK, BST_UNCHECKED, 0);
        ASSERT_TRUE(d.UpdateData(TRUE));
    });
    dlg.DoModal();
    EXPECT_EQ(m.first, 42);
    EXPECT_EQ(m.name, "COM10");
    EXPECT_EQ(m.second, 0);
    EXPECT_EQ(m.flag, 0);
}

TEST(DataExchange, TextThatIsNotAnIntegerIsRefusedAndStopsTheExchange)
{
    Members m;
    m.first = 7;
    m.name = "before";
    m.second = 9;
    MessageBoxInfo box;
    int focusedId = 0;
    BOOL result = TRUE;
    ScriptedDialog dlg(IDD_EXCHANGE, [&](ScriptedDialog& d) {
        Bind(d, m);
        d.UpdateData(FALSE);
        ::SetWindowTextA(d.GetDlgItem(IDC_FIRST_NUMBER), "12x");
        ::SetWindowTextA(d.GetDlgItem(IDC_NAME), "after");
        auto answer = AnswerNextMessageBox(IDOK);
        result = d.UpdateData(TRUE);
        box = answer.get();
        focusedId = ::GetDlgCtrlID(::GetFocus());
    });
    dlg.DoModal();
    EXPECT_FALSE(result);
    EXPECT_EQ(box.text, "Please enter an integer.");
    EXPECT_EQ(box.caption, "framework_tests");
    EXPECT_EQ(box.icon, "exclamation");
    EXPECT_EQ(focusedId, IDC_FIRST_NUMBER);
    EXPECT_EQ(m.first, 7);          // the refused member keeps its value
    EXPECT_EQ(m.name, "before");    // and so do those exchanged after it
    EXPECT_EQ(m.second, 9);
}

TEST(DataExchange, IntegerRule)
{
    int v = 5;
    EXPECT_TRUE(ParseDialogInteger("0", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseDialogInteger("\t-17 ", v));
    EXPECT_EQ(v, -17);
    EXPECT_TRUE(ParseDialogInteger("+65536", v));
    EXPECT_EQ(v, 65536);
    EXPECT_TRUE(ParseDialogInteger("2147483647", v));
    v = 5;
    for (const char* bad : {"", " ", "-", "abc", "1 2", "0x10", "2147483648", "-2147483649", "99999999999999999999", "1.5"})
        EXPECT_FALSE(ParseDialogInteger(bad, v)) << bad;
    EXPECT_EQ(v, 5);  // untouched by a refusal
}
