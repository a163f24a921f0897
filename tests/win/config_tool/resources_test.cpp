// kvrconfig's resources as the resource script builds them: the dialog layouts, the version
// resource and the manifest.
#include "dialog_template.h"
#include "net/winsock_control_class.h"
#include "res/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {
void ExpectItem(const DialogTemplate& d, int id, const char* cls, const char* text, short x, short y, short cx, short cy)
{
    const DialogItem* item = d.Item(id);
    ASSERT_NE(item, nullptr) << id;
    // Class names are case-insensitive; windres stores them in capitals.
    EXPECT_EQ(lstrcmpiA(item->windowClass.c_str(), cls), 0) << id << ": " << item->windowClass;
    EXPECT_EQ(item->text, text) << id;
    EXPECT_EQ(item->x, x) << id;
    EXPECT_EQ(item->y, y) << id;
    EXPECT_EQ(item->cx, cx) << id;
    EXPECT_EQ(item->cy, cy) << id;
}

std::string VersionString(const char* name)
{
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    std::string block(size, '\0');
    if (!size || !::GetFileVersionInfoA(path, 0, size, &block[0]))
        return "<no version resource>";
    char* value = nullptr;
    UINT length = 0;
    std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return "<missing>";
    return std::string(value);
}
}

TEST(KvrconfigResources, MainWindowLayout)
{
    DialogTemplate d;
    ASSERT_TRUE(LoadDialogTemplate(IDD_KVRCONFIG_DIALOG, d));
    EXPECT_EQ(d.caption, "KvrLanCom Configuration Tool V1.0.3 ");
    EXPECT_EQ(d.fontName, "Arial");
    EXPECT_EQ(d.fontSize, 8);
    EXPECT_EQ(d.style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(d.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
    EXPECT_TRUE(d.exStyle & WS_EX_APPWINDOW);

    ExpectItem(d, IDC_PRINTER_LIST, "SysListView32", "", 7, 7, 257, 153);
    const DWORD listStyle = d.Item(IDC_PRINTER_LIST)->style;
    EXPECT_EQ(listStyle & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(listStyle & WS_BORDER);
    EXPECT_TRUE(listStyle & WS_TABSTOP);
    EXPECT_FALSE(listStyle & LVS_SINGLESEL);  // several rows can be selected; one is tracked
    ExpectItem(d, IDC_SEARCH, "Button", "STEP 1 - Printer Search         ", 272, 7, 105, 15);
    ExpectItem(d, IDC_CONFIGURE, "Button", "STEP 2 - Printer Configuration", 272, 28, 105, 15);
    ExpectItem(d, IDC_TEST_PRINT, "Button", "STEP 3 - Test Print                 ", 272, 49, 105, 15);
    ExpectItem(d, IDC_DETACH_PORT, "Button", "Detach the assigned port", 272, 70, 105, 15);
    ExpectItem(d, IDC_PORT_MANAGE, "Button", "Port Management", 280, 109, 90, 15);
    ExpectItem(d, IDOK, "Button", "EXIT", 271, 140, 105, 20);
    EXPECT_EQ(d.Item(IDOK)->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(d.Item(IDC_FIRMWARE_UPLOAD), nullptr);  // the firmware command has no button

    int groups = 0;
    for (const DialogItem& item : d.items)
        if ((item.style & BS_TYPEMASK) == BS_GROUPBOX && item.windowClass == "Button") {
            ++groups;
            EXPECT_EQ(item.text, "Tool");
            EXPECT_EQ(item.x, 271);
            EXPECT_EQ(item.y, 94);
            EXPECT_EQ(item.cx, 106);
            EXPECT_EQ(item.cy, 36);
        }
    EXPECT_EQ(groups, 1);
    EXPECT_EQ(d.items.size(), 8u);
    EXPECT_EQ(d.items.front().id, IDC_PRINTER_LIST);  // first in tab order: Enter there presses EXIT
}

TEST(KvrconfigResources, SearchDialogLayoutHostsTheEndpointHidden)
{
    DialogTemplate d;
    ASSERT_TRUE(LoadDialogTemplate(IDD_SEARCH_DIALOG, d));
    EXPECT_EQ(d.caption, "Searching...");
    EXPECT_EQ(d.fontName, "Arial");
    ExpectItem(d, IDC_SEARCH_STATUS, "Static", "Searching.", 7, 7, 102, 10);
    ExpectItem(d, IDC_FOUND_COUNT, "Edit", "", 159, 7, 20, 11);
    EXPECT_TRUE(d.Item(IDC_FOUND_COUNT)->style & ES_READONLY);
    EXPECT_TRUE(d.Item(IDC_FOUND_COUNT)->style & ES_CENTER);
    ExpectItem(d, IDC_PROGRESS, "msctls_progress32", "", 7, 21, 172, 10);
    EXPECT_TRUE(d.Item(IDC_PROGRESS)->style & WS_BORDER);
    ExpectItem(d, IDC_WINSOCK, KVR_WINSOCK_CLASS, KVR_WINSOCK_INITIAL_PROPERTIES, 7, 34, 19, 16);
    EXPECT_FALSE(d.Item(IDC_WINSOCK)->style & WS_VISIBLE);
    ExpectItem(d, IDCANCEL, "Button", "Cancel", 114, 33, 65, 15);
    bool findLabel = false;
    for (const DialogItem& item : d.items)
        findLabel |= item.text == "Find :" && (item.style & SS_TYPEMASK) == SS_RIGHT;
    EXPECT_TRUE(findLabel);
}

TEST(KvrconfigResources, VersionAndManifest)
{
    EXPECT_EQ(VersionString("FileVersion"), "1, 0, 0, 5");
    EXPECT_EQ(VersionString("ProductVersion"), "1, 0, 0, 5");
    EXPECT_EQ(VersionString("Comments"), "1.0.3");
    EXPECT_EQ(VersionString("FileDescription"), "KVR Vitual Com for ethernet driver ");
    EXPECT_EQ(VersionString("InternalName"), "kvrconfig");

    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC manifest = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(::LockResource(::LoadResource(module, manifest))), ::SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_NE(text.find("uiAccess=\"false\""), std::string::npos);

    EXPECT_NE(::LoadIconA(module, MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
}
