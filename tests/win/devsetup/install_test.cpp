// InstallFromInf and InstallRootDevice (configuration tool's form) with the stand-in package.
#include "device_setup.h"
#include "device_test_support.h"
#include "message_box_watch.h"

#include <gtest/gtest.h>

namespace {
class InstallTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveAllPackageDevices(); }
    void TearDown() override { RemoveAllPackageDevices(); }
};
const char kNoClassInf[] = "[Version]\r\nSignature=\"$WINDOWS NT$\"\r\n";
}

TEST_F(InstallTest, EachInstallAddsOneRootPortWithOnlyTheHardwareIdAndAPortNameOfItsOwn)
{
    PackageFolder package;
    ASSERT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_OK);
    std::vector<DeviceRecord> first = DevicesWithHardwareId("kelvaro\\tcpsio");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].instanceId.rfind("ROOT\\PORTS\\", 0), 0u) << first[0].instanceId;
    EXPECT_EQ(first[0].hardwareIds, std::vector<std::string>{"kelvaro\\tcpsio"});
    EXPECT_EQ(first[0].portName.rfind("COM", 0), 0u) << first[0].portName;

    // The second install updates the first device's driver again: its port keeps its name.
    ASSERT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_OK);
    std::vector<DeviceRecord> both = DevicesWithHardwareId("kelvaro\\tcpsio");
    ASSERT_EQ(both.size(), 2u);
    const DeviceRecord& earlier = both[0].instanceId == first[0].instanceId ? both[0] : both[1];
    const DeviceRecord& added = &earlier == &both[0] ? both[1] : both[0];
    EXPECT_EQ(earlier.portName, first[0].portName);
    EXPECT_EQ(added.portName.rfind("COM", 0), 0u) << added.portName;
    EXPECT_NE(added.portName, earlier.portName);
}

TEST_F(InstallTest, AMissingOrInvalidInfFailsSilentlyAndLeavesNoDevice)
{
    PackageFolder package(false);
    size_t devicesBefore = PresentDevices().size();
    MessageBoxWatch watch;
    EXPECT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_FAILED);
    EXPECT_EQ(InstallFromInf(package.Path() + "\\missing\\kvrlancom.INF", "kelvaro\\tcpsio"), INSTALL_FAILED);
    package.WriteInf(kNoClassInf);
    EXPECT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_FAILED);
    EXPECT_TRUE(watch.Stop().empty());
    EXPECT_EQ(PresentDevices().size(), devicesBefore);
}

TEST_F(InstallTest, TheStepsOwnResultsDecideAndTheFailedStepsCodeIsReported)
{
    PackageFolder package;
    BOOL reboot = TRUE;
    // A code left over from before does not fail a good install.
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_TRUE(InstallRootDevice("kelvaro\\tcpsio", package.InfPath().c_str(), &reboot));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_FALSE(reboot);

    PackageFolder empty(false);
    EXPECT_FALSE(InstallRootDevice("kelvaro\\tcpsio", empty.InfPath().c_str(), &reboot));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(InstallTest, ADriverInstallThatFailsTakesItsNewDeviceAwayAgain)
{
    // A Ports-class INF whose models line names another hardware ID: the device registers, but no
    // driver of the INF fits it.
    PackageFolder package;
    std::string inf = ReadInf(package.InfPath());
    for (size_t at; (at = inf.find(",kelvaro\\tcpsio")) != std::string::npos;)
        inf.replace(at, 15, ",kelvaro\\other1");
    package.WriteInf(inf.c_str());
    std::vector<DeviceRecord> before = PresentDevices();
    MessageBoxWatch watch;
    EXPECT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_FAILED);
    EXPECT_TRUE(watch.Stop().empty());
    std::vector<DeviceRecord> after = PresentDevices();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ(after[i].instanceId, before[i].instanceId);
}
