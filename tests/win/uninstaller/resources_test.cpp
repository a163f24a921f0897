// kvrlancom_uninstaller's resources as its resource script builds them.
#include "dialog_template.h"
#include "module_resources.h"
#include "res/resource.h"

#include <gtest/gtest.h>

TEST(UninstallerResources, ConfirmationDialogIconAndVersion)
{
    DialogTemplate d;
    ASSERT_TRUE(LoadDialogTemplate(IDD_KVRLANCOM_UNINSTALLER_DIALOG, d));
    EXPECT_EQ(d.caption, " Uninstall - KVRLANCOM Drvier");
    EXPECT_EQ(d.fontName, "Arial");
    EXPECT_EQ(d.fontSize, 8);
    EXPECT_EQ((std::vector<short>{d.cx, d.cy}), (std::vector<short>{240, 43}));
    const DWORD styles = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(d.style & styles, styles);
    EXPECT_TRUE(d.exStyle & WS_EX_APPWINDOW);
    ASSERT_EQ(d.items.size(), 3u);
    const DialogItem& question = d.items[0];
    EXPECT_EQ(question.text, "Do you want to uninstall \"virtual serial driver for ethernet\"?");
    EXPECT_EQ(question.style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
    EXPECT_EQ((std::vector<short>{question.x, question.y, question.cx, question.cy}), (std::vector<short>{7, 7, 226, 10}));
    const DialogItem* ok = d.Item(IDOK);
    const DialogItem* cancel = d.Item(IDCANCEL);
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(ok->text, "OK");
    EXPECT_EQ(ok->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ((std::vector<short>{ok->x, ok->y, ok->cx, ok->cy}), (std::vector<short>{76, 21, 75, 13}));
    EXPECT_EQ(cancel->text, "Cancel");
    EXPECT_EQ((std::vector<short>{cancel->x, cancel->y, cancel->cx, cancel->cy}), (std::vector<short>{158, 21, 75, 13}));

    std::vector<IconImage> icon = IconGroupImages(IDR_MAINFRAME);
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ((std::vector<int>{icon[0].width, icon[0].colours, icon[1].width, icon[1].colours}), (std::vector<int>{32, 16, 16, 16}));

    EXPECT_EQ(VersionString("FileVersion"), "1, 0, 1, 4");
    EXPECT_EQ(VersionString("ProductVersion"), "1, 0, 1, 4");
    EXPECT_EQ(VersionString("FileDescription"), "KELVARO Virtual Serial Driver for ethernet Uninstaller");
    EXPECT_EQ(VersionString("ProductName"), "KELVARO Virtual Serial Driver for ethernet Uninstaller");
    EXPECT_EQ(VersionString("InternalName"), "KVRLANCOM_UNINSTALLER");
    EXPECT_EQ(VersionString("OriginalFilename"), "KVRLANCOM_UNINSTALLER.EXE");
    EXPECT_EQ(VersionString("CompanyName"), "");
}
