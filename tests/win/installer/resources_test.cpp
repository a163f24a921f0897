// kvrlancom_installer's resources as the system reads them from the built module: what the
// resource compiler could get wrong (styles, font, texts, icon format, version strings).
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
    const DWORD styles = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    EXPECT_EQ(d.style & styles, styles);
    EXPECT_TRUE(d.exStyle & WS_EX_APPWINDOW);
    ASSERT_EQ(d.items.size(), 2u);
    ASSERT_NE(d.Item(IDC_STATUS), nullptr);
    EXPECT_EQ(d.Item(IDC_STATUS)->style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
    ASSERT_NE(d.Item(IDOK), nullptr);
    EXPECT_EQ(d.Item(IDOK)->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));

    EXPECT_EQ(IconGroupImages(IDR_MAINFRAME), (std::vector<IconImage>{{32, 32, 16, 4}, {16, 16, 16, 4}}));
    EXPECT_EQ(VersionString("FileVersion"), "1, 0, 1, 4");
    EXPECT_EQ(VersionString("OriginalFilename"), "KELVARO Virtual Serial Driver for ethernet Installer");
    EXPECT_EQ(VersionString("ProductName"), "");
}
