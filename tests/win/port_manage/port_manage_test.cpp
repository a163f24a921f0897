// The port management dialog (134) run for real in this process: buttons pressed as a click does,
// message boxes answered from a second thread, devices installed from the stand-in package.
#include "device_setup.h"
#include "dialog_runner.h"
#include "device_test_support.h"
#include "dialogs/port_manage_dlg.h"
#include "message_box_watch.h"
#include "res/resource.h"
#include "wow64.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {
// The real port management dialog with test code run inside its message loop.
class ScriptedPortManageDlg : public Scripted<ScriptedPortManageDlg, CPortManageDlg> {
public:
    explicit ScriptedPortManageDlg(Body body) : Scripted(std::move(body)) {}

    // Presses the button; returns the message boxes it brought up, each answered with OK.
    std::vector<MessageBoxInfo> Click(int nID)
    {
        MessageBoxWatch watch;
        Press(nID);
        return watch.Stop();
    }
    bool Lists(const std::string& name) const
    {
        int count = 0;
        for (int i = 0; i < m_cbPorts.GetCount(); ++i)
            count += m_cbPorts.GetLBText(i) == name;
        return count == 1;
    }
};

std::vector<std::string> PackagePortNames()
{
    std::vector<std::string> names;
    for (const DeviceRecord& device : DevicesWithHardwareId("kelvaro\\tcpsio"))
        names.push_back(device.portName);
    return names;
}

class PortManageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveAllPackageDevices();
        ::GetCurrentDirectoryA(MAX_PATH, m_startDirectory);
    }
    void TearDown() override
    {
        ::SetCurrentDirectoryA(m_startDirectory);
        RemoveAllPackageDevices();
    }

    char m_startDirectory[MAX_PATH] = {0};
};
}

TEST_F(PortManageTest, AddPortInstallsFromTheCurrentDirectoryAndListsEachNewPort)
{
    PackageFolder package;
    ::SetCurrentDirectoryA(package.Path().c_str());
    ScriptedPortManageDlg dialog([](ScriptedPortManageDlg& self) {
        for (size_t added = 1; added <= 2; ++added) {
            std::vector<MessageBoxInfo> shown = self.Click(IDC_ADD_PORT);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, "Add port Success!");
            EXPECT_EQ(shown[0].caption, "port_manage_tests");
            EXPECT_EQ(shown[0].icon, "exclamation");
            std::vector<std::string> names = PackagePortNames();
            ASSERT_EQ(names.size(), added);
            for (const std::string& name : names)
                EXPECT_TRUE(self.Lists(name)) << name;
            EXPECT_EQ(self.m_cbPorts.GetCurSel(), 0);
        }
    });
    dialog.DoModal();
}

TEST_F(PortManageTest, DeleteAllPortRemovesThePackagesPortsOnlyAndSaysNothing)
{
    std::vector<std::string> otherIds = {"otherdriver\\port"};
    std::string otherDriversPort = RegisterDevice(kPortsClass, &otherIds);
    SetPortName(otherDriversPort, "COM42");
    PackageFolder package;
    ASSERT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_OK);
    std::string ours = PackagePortNames().at(0);

    ScriptedPortManageDlg dialog([&](ScriptedPortManageDlg& self) {
        EXPECT_TRUE(self.Lists(ours));
        for (int press = 0; press < 2; ++press) {  // the second time nothing of ours is left
            EXPECT_TRUE(self.Click(IDC_DELETE_ALL_PORT).empty());
            EXPECT_FALSE(self.Lists(ours));
            EXPECT_TRUE(self.Lists("COM42"));
        }
    });
    dialog.DoModal();
    EXPECT_TRUE(PackagePortNames().empty());
    EXPECT_TRUE(IsPresent(otherDriversPort));
    RemoveDevice(otherDriversPort);
}

TEST_F(PortManageTest, WithoutAnInfInTheCurrentDirectoryAddPortShowsAndChangesNothing)
{
    PackageFolder empty(false);
    ::SetCurrentDirectoryA(empty.Path().c_str());
    size_t devicesBefore = PresentDevices().size();
    ScriptedPortManageDlg dialog([&](ScriptedPortManageDlg& self) {
        int itemsBefore = self.m_cbPorts.GetCount();
        EXPECT_TRUE(self.Click(IDC_ADD_PORT).empty());
        EXPECT_EQ(self.m_cbPorts.GetCount(), itemsBefore);
        self.Click(IDOK);  // "Exit"
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(PresentDevices().size(), devicesBefore);
}

// A 32-bit tool on 64-bit Windows, as this process is made to see itself: both device operations
// say which program to run instead, and neither touches a device.
TEST_F(PortManageTest, OnWow64AddAndDeleteNameThe64BitToolAndChangeNothing)
{
    PackageFolder package;
    ::SetCurrentDirectoryA(package.Path().c_str());
    ASSERT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_OK);
    Wow64Query previous = ReplaceWow64Query([] { return true; });
    ScriptedPortManageDlg dialog([](ScriptedPortManageDlg& self) {
        for (int button : {IDC_ADD_PORT, IDC_DELETE_ALL_PORT}) {
            std::vector<MessageBoxInfo> shown = self.Click(button);
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_NE(shown[0].text.find("64-bit kvrconfig.exe"), std::string::npos) << shown[0].text;
            EXPECT_EQ(PackagePortNames().size(), 1u);
        }
    });
    dialog.DoModal();
    ReplaceWow64Query(previous);
}
