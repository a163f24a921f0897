// The configuration dialog (132) as the user meets it: what it shows, what a Save sends to the
// printers and writes to the port assignment store, the acknowledgement that ends it, and the Saves
// it refuses. The printers are the simulator's (with_printer_sim.sh):
//   00:1a:2b:3d:4e:5f  192.168.0.10  answers "SETT" with "SETC"
//   00:1a:2b:3d:4e:60  192.168.0.11  takes "SETT" silently
#include "config_dialog_runner.h"
#include "dialog_runner.h"
#include "printer_records.h"
#include "sim_peer.h"
#include "store_fixture.h"

#include "net/datagram_frame.h"
#include "printers/printer_table.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
// The printer that acknowledges, as it reports itself: port 515, a baud code outside the table.
PrinterRecord AckingPrinter() { return MakeRecord(0x5F, 10, 515, 0x10); }
PrinterRecord SilentPrinter() { return MakeRecord(0x60, 11, 9100, 0xF4); }

std::string Bytes(std::initializer_list<uint8_t> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearPortsAndStore();
        ClearPrinterTable();
    }
    void TearDown() override
    {
        ClearPortsAndStore();
        ClearPrinterTable();
    }
    void AddPorts()
    {
        AddPortDevice("0000", "COM3");
        AddPortDevice("0001", "COM4");
        AddPortDevice("0002", "COM10");
    }
};

// Tests that send: only with the simulated printers as peers, never on any other network.
#define REQUIRE_PRINTER_SIMULATOR()                                                    \
    if (!PrinterSimulatorRunning())                                                    \
        GTEST_SKIP() << "needs the printer simulator (run inside tools/netns-run.sh)"
}

TEST_F(ConfigDialog, ShowsThePrinterRecordAndDhcpGreysTheAddressFields)
{
    AddPorts();
    PrinterRecord fixed = MakeRecord(0x5F, 10, 515, 0xF4);
    fixed.inactivity[0] = 0x01;  // 300 s
    fixed.inactivity[1] = 0x2C;
    AddPrinterRecord(fixed);
    PrinterRecord dhcp = MakeRecord(0x60, 11, 9100, 0x10);
    dhcp.dhcpMode = 1;
    AddPrinterRecord(dhcp);

    INT_PTR result = RunConfigDialog(1, "COM4", [](HWND dlg) {
        EXPECT_EQ(AddressText(dlg, IDC_IP_ADDRESS), "192.168.0.10");
        EXPECT_EQ(AddressText(dlg, IDC_SUBNET_MASK), "255.255.255.0");
        EXPECT_EQ(AddressText(dlg, IDC_GATEWAY), "192.168.0.1");
        EXPECT_EQ(FieldText(dlg, IDC_LOCAL_PORT), "515");
        EXPECT_EQ(FieldText(dlg, IDC_INACTIVITY_TIME), "300");
        EXPECT_EQ(FieldText(dlg, IDC_FIRMWARE_VERSION), "1.10");
        EXPECT_FALSE(IsChecked(dlg, IDC_DHCP_MODE));
        EXPECT_EQ(ComboItems(dlg, IDC_BAUD_RATE),
                  (std::vector<std::string>{"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200", "230400"}));
        EXPECT_EQ(ComboSelection(dlg, IDC_BAUD_RATE), 3);  // 0xF4: 9600
        EXPECT_EQ(ComboItems(dlg, IDC_PORT_LIST), (std::vector<std::string>{"COM10", "COM3", "COM4"}));
        EXPECT_EQ(ComboSelectedText(dlg, IDC_PORT_LIST), "COM4");  // the port the main window showed

        for (int id : {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY})
            EXPECT_TRUE(IsEnabled(dlg, id)) << id;
        ClickCheckBox(dlg, IDC_DHCP_MODE);
        for (int id : {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY})
            EXPECT_FALSE(IsEnabled(dlg, id)) << id;
        EXPECT_EQ(AddressText(dlg, IDC_IP_ADDRESS), "192.168.0.10");  // greyed, not cleared
        for (int id : {IDC_LOCAL_PORT, IDC_INACTIVITY_TIME, IDC_PORT_LIST, IDC_BAUD_RATE})
            EXPECT_TRUE(IsEnabled(dlg, id)) << id;
        ClickCheckBox(dlg, IDC_DHCP_MODE);
        for (int id : {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY})
            EXPECT_TRUE(IsEnabled(dlg, id)) << id;
        ClickButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);

    result = RunConfigDialog(2, "Not Assigned", [](HWND dlg) {
        EXPECT_TRUE(IsChecked(dlg, IDC_DHCP_MODE));
        for (int id : {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY})
            EXPECT_FALSE(IsEnabled(dlg, id)) << id;
        EXPECT_EQ(ComboSelection(dlg, IDC_BAUD_RATE), CB_ERR);         // code 0x10 selects nothing
        EXPECT_EQ(ComboSelectedText(dlg, IDC_PORT_LIST), "COM10");     // the lowest-sorting port
        EXPECT_EQ(FieldText(dlg, IDC_LOCAL_PORT), "9100");
        ClickButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST_F(ConfigDialog, MissingRecordIsReportedAndCancels)
{
    StartUpLikeTheTool();
    auto box = AnswerNextMessageBox(IDOK);
    ConfigDialogUnderTest dlg;
    dlg.m_nPrinterNo = 1;  // the table is empty
    dlg.m_strAssignedPort = "Not Assigned";
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    MessageBoxInfo info = box.get();
    EXPECT_EQ(info.text, "Error : Fail to read Infomation list!");
    EXPECT_EQ(info.icon, "exclamation");
}

TEST_F(ConfigDialog, SaveSendsTheSettingsBindsThePortAndTheAcknowledgementEndsIt)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPorts();
    AddPrinterRecord(AckingPrinter());
    MessageBoxInfo success;
    INT_PTR result = RunConfigDialog(1, "Not Assigned", [&](HWND dlg) {
        ASSERT_TRUE(SelectComboItem(dlg, IDC_PORT_LIST, "COM3"));
        ClickButton(dlg, IDOK);
        success = AnswerMessageBox(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(success.text, "Succeeded to save information!");
    EXPECT_EQ(success.caption, "Success");
    EXPECT_EQ(success.icon, "none");
    ASSERT_EQ(success.buttons.size(), 1u);
    EXPECT_EQ(success.buttons[0].id, IDOK);

    // Unchanged values go back as reported, but for the baud rate: nothing selected sends 1200.
    PrinterRecord expected = AckingPrinter();
    expected.baudRateCode = 0xA0;
    std::vector<std::string> sent = SettingsReceivedByPrinters();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "53455454" "001a2b3d4e5f" "c0a8000a" "ffffff00" "c0a80001" "0203" "a0" "010a" "00" "0000");
    EXPECT_EQ(sent[0], Hex(MakeSettingsDatagram(expected)));
    EXPECT_EQ(RecordBytes(*GetPrinterRecord(1)), RecordBytes(expected));  // the table holds what was sent

    EXPECT_EQ(BindingValueBytes("COM3", "Port_"), Bytes({0x03, 0x02, 0x00, 0x00}));
    EXPECT_EQ(BindingValueBytes("COM3", "IPAddress"), Bytes({0xC0, 0xA8, 0x00, 0x0A}));
    EXPECT_EQ(BindingValueBytes("COM3", "Port"), Bytes({0x02, 0x03, 0x00, 0x00}));
    EXPECT_FALSE(BindingExists("COM4"));
}

TEST_F(ConfigDialog, SavingOnAnotherPortDeletesTheBindingTheMainWindowShowed)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPorts();
    AddPrinterRecord(AckingPrinter());
    const BYTE printer[4] = {192, 168, 0, 10};
    const BYTE other[4] = {192, 168, 0, 99};
    WriteBinding("COM3", printer, 515);
    WriteBinding("COM10", other, 9100);
    INT_PTR result = RunConfigDialog(1, "COM3", [&](HWND dlg) {
        EXPECT_EQ(ComboSelectedText(dlg, IDC_PORT_LIST), "COM3");
        ASSERT_TRUE(SelectComboItem(dlg, IDC_PORT_LIST, "COM4"));
        ClickButton(dlg, IDOK);
        EXPECT_EQ(AnswerMessageBox(IDOK).text, "Succeeded to save information!");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(BindingExists("COM3"));
    EXPECT_EQ(BindingValueBytes("COM4", "IPAddress"), Bytes({0xC0, 0xA8, 0x00, 0x0A}));
    EXPECT_EQ(BindingValueBytes("COM10", "IPAddress"), Bytes({0xC0, 0xA8, 0x00, 0x63}));  // another printer's
}

TEST_F(ConfigDialog, TwoSavesWithoutAcknowledgementBindBothPortsAndCancelKeepsThem)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPorts();
    AddPrinterRecord(SilentPrinter());
    INT_PTR result = RunConfigDialog(1, "Not Assigned", [&](HWND dlg) {
        ASSERT_TRUE(SelectComboItem(dlg, IDC_PORT_LIST, "COM3"));
        ClickButton(dlg, IDOK);
        ASSERT_TRUE(WaitForSettingsAtPrinters(1));
        // DHCP greys the address fields, yet what they show still goes out.
        ClickCheckBox(dlg, IDC_DHCP_MODE);
        ASSERT_TRUE(SelectComboItem(dlg, IDC_PORT_LIST, "COM4"));
        ClickButton(dlg, IDOK);
        ASSERT_TRUE(WaitForSettingsAtPrinters(2));
        EXPECT_EQ(WaitForMessageBox(0, 200), nullptr);  // no answer, no message: the dialog waits
        ClickButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    std::vector<std::string> sent = SettingsReceivedByPrinters();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].substr(8 + 2 * 6, 8), "c0a8000b");
    EXPECT_EQ(sent[0].substr(2 * 27, 2), "00");
    EXPECT_EQ(sent[1].substr(8 + 2 * 6, 8), "c0a8000b");
    EXPECT_EQ(sent[1].substr(2 * 27, 2), "01");
    EXPECT_EQ(GetPrinterRecord(1)->dhcpMode, 1);  // Cancel undoes nothing
    EXPECT_EQ(BindingValueBytes("COM3", "IPAddress"), Bytes({0xC0, 0xA8, 0x00, 0x0B}));
    EXPECT_EQ(BindingValueBytes("COM4", "IPAddress"), Bytes({0xC0, 0xA8, 0x00, 0x0B}));
    EXPECT_EQ(BindingValueBytes("COM4", "Port_"), Bytes({0x8C, 0x23, 0x00, 0x00}));  // 9100
}

TEST_F(ConfigDialog, RefusedSavesSendNothingAndWriteNothing)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPorts();
    AddPrinterRecord(AckingPrinter());
    const std::vector<uint8_t> reported = RecordBytes(AckingPrinter());
    struct Case {
        const char* what;
        std::function<void(HWND)> spoil;
        std::function<void(HWND)> mend;
        const char* message;
        const char* icon;
    };
    const char* kCheckAddress = "Please check IP Address or Port Number";
    const char* kInteger = "Please enter an integer.";
    auto port = [](const char* text) { return [=](HWND dlg) { SetFieldText(dlg, IDC_LOCAL_PORT, text); }; };
    auto inactivity = [](const char* text) { return [=](HWND dlg) { SetFieldText(dlg, IDC_INACTIVITY_TIME, text); }; };
    const std::vector<Case> cases = {
        {"blank IP address", [](HWND dlg) { ClearAddress(dlg, IDC_IP_ADDRESS); },
         [](HWND dlg) { SetAddress(dlg, IDC_IP_ADDRESS, 192, 168, 0, 10); }, kCheckAddress, "information"},
        {"Local Port 0", port("0"), port("515"), kCheckAddress, "information"},
        {"Local Port 65536", port("65536"), port("515"), "Local Port must be a number from 1 to 65535.", "exclamation"},
        {"Local Port -1", port("-1"), port("515"), "Local Port must be a number from 1 to 65535.", "exclamation"},
        {"Inactivity time 65536", inactivity("65536"), inactivity("0"),
         "Inactivity time must be a number of seconds from 0 to 65535.", "exclamation"},
        {"Inactivity time -5", inactivity("-5"), inactivity("0"),
         "Inactivity time must be a number of seconds from 0 to 65535.", "exclamation"},
        {"Local Port not a number", port("51x"), port("515"), kInteger, "exclamation"},
        {"Inactivity time not a number", inactivity("abc"), inactivity("0"), kInteger, "exclamation"},
    };
    MessageBoxInfo success;
    INT_PTR result = RunConfigDialog(1, "Not Assigned", [&](HWND dlg) {
        for (const Case& c : cases) {
            c.spoil(dlg);
            ClickButton(dlg, IDOK);
            MessageBoxInfo box = AnswerMessageBox(IDOK);
            EXPECT_EQ(box.text, c.message) << c.what;
            EXPECT_EQ(box.icon, c.icon) << c.what;
            EXPECT_EQ(box.caption, "config_dialog_tests") << c.what;
            EXPECT_FALSE(BindingExists("COM10")) << c.what;
            EXPECT_EQ(RecordBytes(*GetPrinterRecord(1)), reported) << c.what;
            c.mend(dlg);
        }
        // A good Save at last: its datagram reaches the printers after any the refused ones sent.
        ClickButton(dlg, IDOK);
        success = AnswerMessageBox(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(success.text, "Succeeded to save information!");
    std::vector<std::string> sent = SettingsReceivedByPrinters();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].substr(2 * 22, 4), "0203");
    EXPECT_TRUE(BindingExists("COM10"));
}

TEST_F(ConfigDialog, WithoutAnyPortTheSettingsGoOutButNothingIsBound)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPrinterRecord(AckingPrinter());
    const BYTE printer[4] = {192, 168, 0, 10};
    WriteBinding("COM3", printer, 515);  // left from before its device was deleted
    MessageBoxInfo notice, success;
    INT_PTR result = RunConfigDialog(1, "COM3", [&](HWND dlg) {
        EXPECT_TRUE(ComboItems(dlg, IDC_PORT_LIST).empty());
        ClickButton(dlg, IDOK);
        notice = AnswerMessageBox(IDOK);
        success = AnswerMessageBox(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(notice.text,
              "There is no virtual COM port yet, so no port can be bound to this printer.\r\n"
              "The settings are sent to the printer all the same. "
              "Add a port in Port Management, then save again to bind it.");
    EXPECT_EQ(notice.icon, "information");
    EXPECT_EQ(success.text, "Succeeded to save information!");
    EXPECT_EQ(SettingsReceivedByPrinters().size(), 1u);
    DWORD values = 0, subkeys = 0;
    StoreRootContents(values, subkeys);
    EXPECT_EQ(values, 0u);   // nothing under the store's root itself
    EXPECT_EQ(subkeys, 1u);  // and the earlier binding kept
    EXPECT_TRUE(BindingExists("COM3"));
}

TEST_F(ConfigDialog, OnlyAFullAcknowledgementEndsItAndOnlyOnceHoweverManyArrive)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPorts();
    AddPrinterRecord(SilentPrinter());
    int boxesUp = -1;
    MessageBoxInfo success;
    INT_PTR result = RunConfigDialog(1, "Not Assigned", [&](HWND dlg) {
        ClickButton(dlg, IDOK);
        ASSERT_TRUE(WaitForSettingsAtPrinters(1));  // the tool's port is open from here on
        SendToToolPort("SETC");                     // 4 bytes: too short
        SendToToolPort(std::string("SETT\0", 5));   // not an acknowledgement
        EXPECT_EQ(WaitForMessageBox(0, 300), nullptr);
        EXPECT_TRUE(::IsWindow(dlg));
        SendToToolPort(std::string("SETC\0", 5));
        SendToToolPort(std::string("SETC\0", 5));
        SendToToolPort(std::string("SETC") + std::string(600, 'x'));  // longer than the receive buffer
        ASSERT_NE(WaitForMessageBox(0, 3000), nullptr);
        ::Sleep(400);  // time for the other two to be delivered while the box is up
        boxesUp = VisibleMessageBoxCount();
        success = AnswerMessageBox(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(boxesUp, 1);
    EXPECT_EQ(success.text, "Succeeded to save information!");
    EXPECT_EQ(WaitForMessageBox(0, 300), nullptr);
}

TEST_F(ConfigDialog, AnAcknowledgementThatComesBeforeAnySaveEndsItAsWell)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPorts();
    AddPrinterRecord(SilentPrinter());
    MessageBoxInfo success;
    INT_PTR result = RunConfigDialog(1, "Not Assigned", [&](HWND) {
        SendToToolPort(std::string("SETC\0", 5));
        success = AnswerMessageBox(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(success.text, "Succeeded to save information!");
    EXPECT_TRUE(SettingsReceivedByPrinters().empty());
}

TEST_F(ConfigDialog, ASaveWhoseDialogEndedWhileItsBoxWasUpSendsAndBindsNothing)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPrinterRecord(SilentPrinter());  // no ports: Save tells so first
    const BYTE printer[4] = {192, 168, 0, 11};
    WriteBinding("COM3", printer, 9100);
    std::string first, second;
    bool againShown = true;
    INT_PTR result = RunConfigDialog(1, "COM3", [&](HWND dlg) {
        ClickButton(dlg, IDOK);
        HWND noPort = WaitForMessageBox(0, 5000);
        MessageBoxInfo info;
        ASSERT_TRUE(noPort && ReadMessageBox(noPort, info));
        first = info.text;
        // An earlier Save's acknowledgement arrives while the box is up: it ends the dialog.
        SendToToolPort(std::string("SETC\0", 5));
        HWND success = WaitForDialog("Success");
        ASSERT_TRUE(success && ReadMessageBox(success, info));
        second = info.text;
        PressMessageBoxButton(success, IDOK);
        WaitForWindowGone(success, 5000);
        // The dialog has ended, but Save's box is still up and delivers what comes: nothing more
        // is shown.
        SendToToolPort(std::string("SETC\0", 5));
        againShown = WaitForDialog("Success", 1000) != nullptr;
        PressMessageBoxButton(noPort, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(first.rfind("There is no virtual COM port yet", 0), 0u) << first;
    EXPECT_EQ(second, "Succeeded to save information!");
    EXPECT_FALSE(againShown) << "the success box came twice";
    EXPECT_FALSE(WaitForSettingsAtPrinters(1, 500));
    EXPECT_TRUE(BindingExists("COM3"));
}

TEST_F(ConfigDialog, ABindingTheRegistryRefusesIsShownWithWhereThePrinterIsBoundNow)
{
    REQUIRE_PRINTER_SIMULATOR();
    AddPorts();
    AddPrinterRecord(SilentPrinter());
    // A volatile store key: the registry refuses lasting binding keys under it, but the printer's
    // earlier binding, volatile too, can be removed. Its parent is made lasting first: created along
    // with the store it would be volatile too and refuse every later test's store.
    std::string parentPath(kAssignmentStoreKey);
    parentPath.erase(parentPath.rfind('\\'));
    UniqueHKey parent;
    ASSERT_EQ(CreateRegKey(parent, HKEY_LOCAL_MACHINE, parentPath.c_str()), ERROR_SUCCESS);
    HKEY store = nullptr, earlier = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &store, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegCreateKeyExA(store, "COM3", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &earlier, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(earlier);
    ::RegCloseKey(store);
    MessageBoxInfo box;
    RunConfigDialog(1, "COM3", [&](HWND dlg) {
        ASSERT_TRUE(SelectComboItem(dlg, IDC_PORT_LIST, "COM4"));
        ClickButton(dlg, IDOK);
        box = AnswerMessageBox(IDOK);
    });
    EXPECT_EQ(box.text.rfind("Error : Fail to assign COM4 to this printer (registry error ", 0), 0u) << box.text;
    EXPECT_NE(box.text.find("Its binding to COM3 was removed: the printer is bound to no port now.\r\n"
                            "The settings were sent to the printer."),
              std::string::npos)
        << box.text;
    EXPECT_EQ(box.icon, "exclamation");
    EXPECT_TRUE(WaitForSettingsAtPrinters(1));
    EXPECT_FALSE(BindingExists("COM4"));
    EXPECT_FALSE(BindingExists("COM3"));
}
