// FillPortList on the port management dialog's sorted drop-down list (dialog 134, control 1014),
// from device instances written into the test prefix's Enum\Root\PORTS.
#include "deleted_key.h"
#include "dialog_runner.h"
#include "handles.h"
#include "res/resource.h"
#include "dialogs/port_combo.h"
#include "store/port_list.h"
#include "driver_package.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace {
const char* const kInstances[] = {"KVRT1", "KVRT2", "KVRT3", "KVRT4", "KVRT5", "KVRT6", "KVRT7", "KVRTEST10X", "ZZKVRT8", "KVRT9", "KVRT10"};

class PortListTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const char* instance : kInstances)
            ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kRootPortsEnumKey) + "\\" + instance).c_str());
    }

    // An instance with "Device Parameters" (unless parameters is false) and "PortName" (when given).
    static void AddInstance(const char* instance, const char* portName, bool parameters = true, DWORD type = REG_SZ)
    {
        UniqueHKey key;
        std::string path = std::string(kRootPortsEnumKey) + "\\" + instance + (parameters ? "\\Device Parameters" : "");
        ASSERT_EQ(CreateRegKey(key, HKEY_LOCAL_MACHINE, path.c_str()), ERROR_SUCCESS);
        if (portName)
            ::RegSetValueExA(key.Get(), "PortName", 0, type, reinterpret_cast<const BYTE*>(portName),
                             static_cast<DWORD>(std::strlen(portName) + 1));
    }

    // Fills the dialog's list, which holds startItem first when one is given; reads it back.
    static std::vector<std::string> Fill(const char* startItem = nullptr, int* selected = nullptr)
    {
        std::vector<std::string> items;
        CComboBox ports;
        ScriptedDialog dialog(IDD_PORT_MANAGE_DIALOG, [&](ScriptedDialog& self) {
            if (startItem)
                ports.AddString(startItem);
            FillPortList(ports, self);
            for (int i = 0; i < ports.GetCount(); ++i)
                items.push_back(ports.GetLBText(i));
            if (selected)
                *selected = ports.GetCurSel();
        });
        dialog.exchange = [&](CDataExchange* pDX) { DDX_Control(pDX, IDC_PORT_LIST, ports); };
        dialog.DoModal();
        return items;
    }
};
}

TEST_F(PortListTest, EachNameOnceInSortOrderWithTheFirstSelected)
{
    std::vector<std::string> before = Fill();
    AddInstance("KVRT1", "COM3");
    AddInstance("KVRT2", "COM10");
    AddInstance("KVRT3", nullptr, false);  // no "Device Parameters"
    AddInstance("KVRT4", nullptr);         // no "PortName"
    AddInstance("KVRT5", "COM3");          // a second instance with the same name
    AddInstance("KVRT6", "COM123456");     // 9 characters: the longest name that fits
    AddInstance("KVRT9", "COM55", true, REG_BINARY);    // the bytes of a name, but not a string
    AddInstance("KVRT10", "COM56", true, REG_MULTI_SZ);

    int selected = CB_ERR;
    std::vector<std::string> after = Fill("Kept", &selected);
    std::set<std::string> expected(before.begin(), before.end());
    expected.insert({"Kept", "COM3", "COM10", "COM123456"});
    EXPECT_EQ(std::set<std::string>(after.begin(), after.end()), expected);
    EXPECT_EQ(after.size(), expected.size()) << "a name listed twice";
    auto position = [&](const char* name) { return std::find(after.begin(), after.end(), name) - after.begin(); };
    EXPECT_LT(position("COM10"), position("COM3"));
    EXPECT_EQ(selected, 0);
}

TEST_F(PortListTest, InstanceNamesAndPortNamesOfTenCharactersOrMoreAreSkipped)
{
    std::vector<std::string> before = Fill();
    AddInstance("KVRTEST10X", "COM92");  // instance name of 10 characters
    AddInstance("KVRT7", "COM1234567");  // port name of 10 characters
    std::vector<std::string> after = Fill();
    EXPECT_EQ(after.size(), before.size());
    // Instances enumerated after the skipped ones still count; a PortName kept as REG_EXPAND_SZ
    // is a name like any other.
    AddInstance("ZZKVRT8", "COM77", true, REG_EXPAND_SZ);
    after = Fill();
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_NE(std::find(after.begin(), after.end(), "COM77"), after.end());
}

TEST_F(PortListTest, AWalkOverADeviceKeyDeletedWhileOpenEnds)
{
    UniqueHKey deleted;
    ASSERT_TRUE(OpenDeletedKey(deleted));
    std::vector<std::string> names = {"left from before"};
    EXPECT_TRUE(EndsWithin(5000, [&] { ListPortNamesIn(deleted.Get(), names); })) << "the walk asks forever";
    EXPECT_TRUE(names.empty());
}
