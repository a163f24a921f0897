// The "Assign Info" lookup against the real registry of the test prefix.
#include <winsock2.h>

#include "store/assignment_store.h"
#include "store/store_keys.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {
class FindAssignedPortTest : public ::testing::Test {
protected:
    void SetUp() override { ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey); }
    void TearDown() override { ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey); }

    static void Bind(const char* port, const char* ip, DWORD type = REG_DWORD)
    {
        std::string path = std::string(kAssignmentStoreKey) + "\\" + port;
        HKEY key;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
        if (ip) {
            DWORD value = inet_addr(ip);
            ::RegSetValueExA(key, "IPAddress", 0, type, reinterpret_cast<const BYTE*>(&value), sizeof value);
        }
        ::RegCloseKey(key);
    }
};
}

TEST_F(FindAssignedPortTest, NoStoreKeyMeansNotAssigned)
{
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.10")), "Not Assigned");
}

TEST_F(FindAssignedPortTest, TheFirstMatchingSubkeyInEnumerationOrderWins)
{
    Bind("COM4", "192.168.0.100");
    Bind("COM3", "192.168.0.10");
    Bind("COM5", "192.168.0.10");
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.100")), "COM4");
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.10")), "COM3");  // enumerated before COM5
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.11")), "Not Assigned");
}

TEST_F(FindAssignedPortTest, SubkeysWithoutAnAddressOrWithOverlongNamesArePassedOver)
{
    Bind("COM1", nullptr);                 // no "IPAddress": binds nothing, the lookup goes on
    Bind("COM123456789", "192.168.0.10");  // too long for a port name
    Bind("COM4", "192.168.0.100");
    Bind("COM5", "192.168.0.11", REG_BINARY);  // the right bytes, but not a REG_DWORD
    Bind("COM6", "192.168.0.12");              // enumerated after all of these
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.100")), "COM4");
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.10")), "Not Assigned");
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.11")), "Not Assigned");
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.12")), "COM6");
}

TEST_F(FindAssignedPortTest, AddressZeroIsLookedUpLikeAnyOther)
{
    Bind("COM7", "0.0.0.0");
    EXPECT_EQ(FindAssignedPort(inet_addr("0.0.0.0")), "COM7");
}
