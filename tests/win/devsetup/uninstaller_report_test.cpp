// The uninstaller's form of RemoveDevicesByHardwareId passes over a device it cannot remove
// without a word and removes the others.
#include "device_setup.h"
#include "device_test_support.h"
#include "message_box_watch.h"

#include <gtest/gtest.h>

TEST(UninstallerRemoval, ADeviceThatCannotBeRemovedIsPassedOverSilently)
{
    std::vector<std::string> ids = {"kelvaro\\tcpsio"};
    std::string refusing;
    {
        ClassCoInstaller refuse(kRefusingClass, "RefuseRemoval");
        refusing = RegisterDevice(kRefusingClass, &ids);
        std::string later = RegisterDevice(kPortsClass, &ids);
        ASSERT_LT(EnumerationIndex(refusing), EnumerationIndex(later));

        MessageBoxWatch watch;
        RemoveDevicesByHardwareId();
        EXPECT_TRUE(watch.Stop().empty());
        EXPECT_TRUE(IsPresent(refusing));
        EXPECT_FALSE(IsPresent(later));
    }
    RemoveDevice(refusing);
}
