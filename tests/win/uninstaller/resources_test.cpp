// kvrlancom_uninstaller's resources as the system reads them from the built module: what the
// resource compiler could get wrong (the caption's leading blank, the quoted text, styles, icon
// format, version strings).
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
    const DWORD styles = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(d.style & styles, styles);
    EXPECT_TRUE(d.exStyle & WS_EX_APPWINDOW);
    ASSERT_EQ(d.items.size(), 3u);
    EXPECT_EQ(d.items[0].text, "Do you want to uninstall \"virtual serial driver for ethernet\"?");
    ASSERT_TRUE(d.Item(IDOK) && d.Item(IDCANCEL));
    EXPECT_EQ(d.Item(IDOK)->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));

    EXPECT_EQ(IconGroupImages(IDR_MAINFRAME), (std::vector<IconImage>{{32, 32, 16, 4}, {16, 16, 16, 4}}));
    EXPECT_EQ(VersionString("FileVersion"), "1, 0, 1, 4");
    EXPECT_EQ(VersionString("OriginalFilename"), "KVRLANCOM_UNINSTALLER.EXE");
    EXPECT_EQ(VersionString("CompanyName"), "");
}
