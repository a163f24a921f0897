// kvrconfig's resources as the resource script builds them: the dialog layouts, the version
// resource and the manifest.
#include "dialog_template.h"
#include "module_resources.h"
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

namespace {
// A control without an ID (a label, a group box) by its text; null when there is none.
const DialogItem* Unnamed(const DialogTemplate& d, const char* text)
{
    for (const DialogItem& item : d.items)
        if (item.text == text && (lstrcmpiA(item.windowClass.c_str(), "Static") == 0 ||
                                  lstrcmpiA(item.windowClass.c_str(), "Button") == 0))
            return &item;
    return nullptr;
}

struct Label {
    const char* text;
    short x, y, cx, cy;
    DWORD align;  // SS_LEFT, SS_RIGHT, or BS_GROUPBOX for a group box
};

void ExpectLabels(const DialogTemplate& d, std::initializer_list<Label> labels)
{
    for (const Label& label : labels) {
        const DialogItem* item = Unnamed(d, label.text);
        ASSERT_NE(item, nullptr) << label.text;
        EXPECT_EQ(item->x, label.x) << label.text;
        EXPECT_EQ(item->y, label.y) << label.text;
        EXPECT_EQ(item->cx, label.cx) << label.text;
        EXPECT_EQ(item->cy, label.cy) << label.text;
        if (label.align == BS_GROUPBOX)
            EXPECT_EQ(item->style & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX)) << label.text;
        else
            EXPECT_EQ(item->style & SS_TYPEMASK, label.align) << label.text;
    }
}
}

TEST(KvrconfigResources, ConfigurationDialogLayout)
{
    DialogTemplate d;
    ASSERT_TRUE(LoadDialogTemplate(IDD_CONFIG_DIALOG, d));
    EXPECT_EQ(d.caption, "Printer Configuration Setup");
    EXPECT_EQ(d.fontName, "Arial");
    EXPECT_EQ(d.cx, 192);
    EXPECT_EQ(d.cy, 195);
    ExpectItem(d, IDC_IP_ADDRESS, "SysIPAddress32", "", 68, 31, 108, 11);
    ExpectItem(d, IDC_SUBNET_MASK, "SysIPAddress32", "", 68, 43, 108, 11);
    ExpectItem(d, IDC_GATEWAY, "SysIPAddress32", "", 68, 55, 108, 11);
    ExpectItem(d, IDC_LOCAL_PORT, "Edit", "", 68, 68, 46, 12);
    ExpectItem(d, IDC_INACTIVITY_TIME, "Edit", "", 68, 81, 46, 12);
    ExpectItem(d, IDC_DHCP_MODE, "Button", "DHCP Mode", 68, 94, 60, 10);
    EXPECT_EQ(d.Item(IDC_DHCP_MODE)->style & BS_TYPEMASK, static_cast<DWORD>(BS_AUTOCHECKBOX));
    ExpectItem(d, IDC_PORT_LIST, "ComboBox", "", 52, 125, 63, 81);
    EXPECT_EQ(d.Item(IDC_PORT_LIST)->style & (CBS_DROPDOWNLIST | CBS_SORT), static_cast<DWORD>(CBS_DROPDOWNLIST | CBS_SORT));
    ExpectItem(d, IDC_BAUD_RATE, "ComboBox", "", 52, 140, 63, 76);
    EXPECT_EQ(d.Item(IDC_BAUD_RATE)->style & (CBS_DROPDOWNLIST | CBS_SORT), static_cast<DWORD>(CBS_DROPDOWN));
    ExpectItem(d, IDOK, "Button", "Save", 7, 163, 88, 25);
    EXPECT_EQ(d.Item(IDOK)->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    ExpectItem(d, IDCANCEL, "Button", "Cancel", 100, 163, 85, 25);
    ExpectItem(d, IDC_FIRMWARE_VERSION, "Static", "1.0", 129, 8, 31, 10);
    ExpectItem(d, IDC_WINSOCK, KVR_WINSOCK_CLASS, KVR_WINSOCK_INITIAL_PROPERTIES, 167, 94, 19, 16);
    EXPECT_FALSE(d.Item(IDC_WINSOCK)->style & WS_VISIBLE);
    ExpectLabels(d, {{"IP Address :", 16, 32, 46, 10, SS_RIGHT},
                     {"Subnet Mask :", 12, 43, 50, 9, SS_RIGHT},
                     {"Gateway :", 12, 55, 50, 9, SS_RIGHT},
                     {"Local Port :", 12, 69, 50, 9, SS_RIGHT},
                     {"Inactivity time :", 12, 82, 50, 9, SS_RIGHT},
                     {"sec (Default : 0)", 116, 82, 58, 9, SS_LEFT},
                     {"PORT : ", 24, 128, 23, 8, SS_RIGHT},
                     {"Baudrate : ", 13, 141, 36, 8, SS_RIGHT},
                     {"Ethernet Fimware Version :", 27, 8, 96, 9, SS_RIGHT},
                     {"Databit : 8 bit", 127, 121, 53, 9, SS_LEFT},
                     {"Parity : None", 127, 130, 53, 9, SS_LEFT},
                     {"Stopbit : 1 bit", 127, 138, 53, 9, SS_LEFT},
                     {"Flow control : HW", 122, 147, 58, 9, SS_LEFT},
                     {"Network Setting", 7, 21, 178, 86, BS_GROUPBOX},
                     {"Serial Setting", 7, 112, 178, 48, BS_GROUPBOX},
                     {"", 7, 0, 178, 20, BS_GROUPBOX}});
    // The first ten in tab order: the fields, the lists, Save and Cancel.
    const int tabOrder[] = {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_LOCAL_PORT, IDC_INACTIVITY_TIME,
                            IDC_DHCP_MODE, IDC_PORT_LIST, IDC_BAUD_RATE, IDOK, IDCANCEL};
    ASSERT_GE(d.items.size(), 10u);
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(d.items[i].id, tabOrder[i]) << i;
}

TEST(KvrconfigResources, PortManagementDialogLayout)
{
    DialogTemplate d;
    ASSERT_TRUE(LoadDialogTemplate(IDD_PORT_MANAGE_DIALOG, d));
    EXPECT_EQ(d.caption, "KVR Virtual Port for ethernet Management");
    EXPECT_EQ(d.fontName, "Arial");
    EXPECT_EQ(d.cx, 194);
    EXPECT_EQ(d.cy, 63);
    EXPECT_EQ(d.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    ExpectLabels(d, {{"Virtual Port :", 46, 16, 39, 8, SS_LEFT}});
    ExpectItem(d, IDC_PORT_LIST, "ComboBox", "", 85, 15, 76, 79);
    const DWORD comboStyle = d.Item(IDC_PORT_LIST)->style;
    EXPECT_EQ(comboStyle & (CBS_DROPDOWNLIST | CBS_SORT), static_cast<DWORD>(CBS_DROPDOWNLIST | CBS_SORT));
    EXPECT_TRUE(comboStyle & WS_VSCROLL);
    EXPECT_TRUE(comboStyle & WS_TABSTOP);
    ExpectItem(d, IDC_ADD_PORT, "Button", "Add Port", 7, 35, 58, 21);
    ExpectItem(d, IDC_DELETE_ALL_PORT, "Button", "Delete All Port", 70, 35, 57, 21);
    ExpectItem(d, IDOK, "Button", "Exit", 132, 35, 55, 21);
    EXPECT_EQ(d.Item(IDOK)->style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(d.items.size(), 5u);
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
