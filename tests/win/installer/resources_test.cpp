// kvrlancom_installer's resources as its resource script builds them.
#include "dialog_template.h"
#include "module_resources.h"
#include "res/resource.h"

#include <gtest/gtest.h>

TEST(InstallerResources, CompletionDialogIconAndVersion)
{
    DialogTemplate d;
    ASSERT_TRUE(LoadDialogTemplate(IDD_KVRLANCOM_INSTALLER_DIALOG, d));
    EXPECT_EQ(d.caption, "Install Completed!");
    EXPECT_EQ(d.fontName, "MS Sans Serif");
    EXPECT_EQ(d.fontSize, 8);
    EXPECT_EQ(d.cx, 130);
    EXPECT_EQ(d.cy, 50);
    const DWORD styles = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(d.style & styles, styles);
    EXPECT_TRUE(d.exStyle & WS_EX_APPWINDOW);
    ASSERT_EQ(d.items.size(), 2u);
    const DialogItem* status = d.Item(IDC_STATUS);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(lstrcmpiA(status->windowClass.c_str(), "Static"), 0);
    EXPECT_EQ(status->style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
    EXPECT_EQ(status->text, "Static");
    EXPECT_EQ((std::vector<short>{status->x, status->y, status->cx, status->cy}), (std::vector<short>{7, 7, 116, 13}));
    const DialogItem* ok = d.Item(IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text, "OK");
    EXPECT_EQ(ok->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ((std::vector<short>{ok->x, ok->y, ok->cx, ok->cy}), (std::vector<short>{37, 29, 50, 14}));

    std::vector<IconImage> icon = IconGroupImages(IDR_MAINFRAME);
    ASSERT_EQ(icon.size(), 2u);
    EXPECT_EQ((std::vector<int>{icon[0].width, icon[0].colours, icon[1].width, icon[1].colours}), (std::vector<int>{32, 16, 16, 16}));

    EXPECT_EQ(VersionString("FileVersion"), "1, 0, 1, 4");
    EXPECT_EQ(VersionString("ProductVersion"), "1, 0, 1, 4");
    EXPECT_EQ(VersionString("CompanyName"), "KELVARO");
    EXPECT_EQ(VersionString("FileDescription"), "KELVARO Virtual Serial Driver for ethernet Installer");
    EXPECT_EQ(VersionString("InternalName"), "KELVARO Virtual Serial Driver for ethernet Installer");
    EXPECT_EQ(VersionString("OriginalFilename"), "KELVARO Virtual Serial Driver for ethernet Installer");
    EXPECT_EQ(VersionString("ProductName"), "");
}
