// RemoveDevicesByHardwareId (configuration tool's form) on devices registered only for the test.
#include "device_setup.h"
#include "device_setup_calls.h"
#include "device_test_support.h"
#include "message_box_watch.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class RemovalTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        m_coInstaller.reset();
        for (const std::string& device : m_devices)
            RemoveDevice(device);
    }
    std::string Register(const TestClass& cls, const std::vector<std::string>* hardwareIds)
    {
        m_devices.push_back(RegisterDevice(cls, hardwareIds));
        EXPECT_TRUE(IsPresent(m_devices.back()));
        return m_devices.back();
    }
    std::string Register(const TestClass& cls, std::vector<std::string> hardwareIds) { return Register(cls, &hardwareIds); }
    // The removal pass under test: the boxes it showed.
    static std::vector<MessageBoxInfo> Remove()
    {
        MessageBoxWatch watch;
        RemoveDevicesByHardwareId();
        return watch.Stop();
    }

    std::vector<std::string> m_devices;
    std::unique_ptr<ClassCoInstaller> m_coInstaller;
};
}

TEST_F(RemovalTest, RemovesEveryDeviceListingTheExactIdAndNothingElse)
{
    std::string only = Register(kPortsClass, {"kelvaro\\tcpsio"});
    std::string second = Register(kPortsClass, {"other\\port", "kelvaro\\tcpsio"});
    std::string capitals = Register(kPortsClass, {"KELVARO\\TCPSIO"});
    std::string tab = Register(kPortsClass, {"kelvaro\tcpsio"});
    std::string noList = Register(kPortsClass, nullptr);

    EXPECT_TRUE(Remove().empty());
    EXPECT_FALSE(IsPresent(only));
    EXPECT_FALSE(IsPresent(second));
    EXPECT_TRUE(IsPresent(capitals));
    EXPECT_TRUE(IsPresent(tab));
    EXPECT_TRUE(IsPresent(noList));
    EXPECT_TRUE(Remove().empty());  // nothing left of ours: nothing happens
}

namespace {
int g_removals = 0;
BOOL CountedRemoval(HDEVINFO set, SP_DEVINFO_DATA* device)
{
    ++g_removals;
    return ::SetupDiCallClassInstaller(DIF_REMOVE, set, device);
}
}

TEST_F(RemovalTest, ADeviceListingTheIdTwiceIsRemovedOnce)
{
    std::string twice = Register(kPortsClass, {"kelvaro\\tcpsio", "kelvaro\\tcpsio"});
    g_removals = 0;
    DeviceRemoveCall previous = ReplaceDeviceRemoveCall(CountedRemoval);
    std::vector<MessageBoxInfo> shown = Remove();
    ReplaceDeviceRemoveCall(previous);
    EXPECT_EQ(g_removals, 1);
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(IsPresent(twice));
}

TEST_F(RemovalTest, ADeviceThatCannotBeRemovedIsReportedAndTheOthersStillGo)
{
    m_coInstaller = std::make_unique<ClassCoInstaller>(kRefusingClass, "RefuseRemoval");
    std::string refusing = Register(kRefusingClass, {"kelvaro\\tcpsio"});
    std::string later = Register(kPortsClass, {"kelvaro\\tcpsio"});
    ASSERT_LT(EnumerationIndex(refusing), EnumerationIndex(later));

    std::vector<MessageBoxInfo> shown = Remove();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Remove Error");
    EXPECT_EQ(shown[0].caption, "devsetup_tests");
    EXPECT_EQ(shown[0].icon, "exclamation");
    EXPECT_EQ(shown[0].buttons.size(), 1u);
    EXPECT_TRUE(IsPresent(refusing));
    EXPECT_FALSE(IsPresent(later));
}

// One port's device, found by its name in any letter case; one whose removal waits for a restart
// says so, and another device of the package keeps its port.
TEST_F(RemovalTest, OnePortIsRemovedByItsNameAndARemovalThatWaitsForARestartSaysSo)
{
    std::string com7 = Register(kPortsClass, {"kelvaro\\tcpsio"});
    SetPortName(com7, "COM7");
    std::string com8 = Register(kPortsClass, {"kelvaro\\tcpsio"});
    SetPortName(com8, "COM8");

    EXPECT_EQ(RemoveDeviceByPortName("COM9"), static_cast<DWORD>(ERROR_NOT_FOUND));
    DeviceRemoveCall previous = ReplaceDeviceRemoveCall(RemovalDeferredToRestart);
    EXPECT_EQ(RemoveDeviceByPortName("com8"), static_cast<DWORD>(ERROR_SUCCESS_REBOOT_REQUIRED));
    ReplaceDeviceRemoveCall(previous);
    EXPECT_EQ(RemoveDeviceByPortName("com7"), static_cast<DWORD>(NO_ERROR));
    EXPECT_FALSE(IsPresent(com7));
    EXPECT_TRUE(IsPresent(com8));
}

// Removing the first device takes the second away before the pass reaches it, so reading its
// hardware IDs fails; the third must still be removed. Taken away through the pass's own set, the
// read fails with ERROR_NO_SUCH_DEVINST; with its registry key deleted, Wine's read reports
// ERROR_INSUFFICIENT_BUFFER with a needed size of 0, time after time.
class UnreadableDeviceTest : public RemovalTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UnreadableDeviceTest, IsPassedOverAndTheRemovalGoesOn)
{
    m_coInstaller = std::make_unique<ClassCoInstaller>(kCompanionClass, "RemoveCompanion");
    std::string first = Register(kCompanionClass, {"kelvaro\\tcpsio"});
    std::string companion = Register(kCompanionClass, {"other\\port"});
    std::string third = Register(kPortsClass, {"kelvaro\\tcpsio"});
    ASSERT_LT(EnumerationIndex(first), EnumerationIndex(companion));
    ASSERT_LT(EnumerationIndex(companion), EnumerationIndex(third));
    TakeAwayAtNextRemoval(companion, GetParam());

    EXPECT_TRUE(Remove().empty());
    EXPECT_FALSE(IsPresent(first));
    EXPECT_FALSE(IsPresent(companion));
    EXPECT_FALSE(IsPresent(third));
}

INSTANTIATE_TEST_SUITE_P(TakenAway, UnreadableDeviceTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "RemovedInTheSameSet" : "KeyDeleted");
                         });
