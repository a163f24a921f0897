// The port assignment store in the test prefix's registry: exactly what a binding leaves behind.
#include <winsock2.h>

#include "handles.h"
#include "store/assignment_store.h"
#include "store/store_keys.h"
#include "store_fixture.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <map>
#include <vector>

namespace {
using Bytes = std::vector<BYTE>;

// The values of a store key by name, each with a type mark ("dword" or "other") in front of its
// bytes; subkeys count as values named "\<subkey>". Empty when the key does not exist.
std::map<std::string, Bytes> KeyContents(const std::string& subkey)
{
    std::map<std::string, Bytes> contents;
    UniqueHKey key;
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, (std::string(kAssignmentStoreKey) + subkey).c_str()) != ERROR_SUCCESS)
        return contents;
    for (DWORD index = 0;; ++index) {
        char name[64] = {0};
        DWORD nameLength = sizeof name;
        BYTE data[64] = {0};
        DWORD size = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueA(key.Get(), index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        contents[name] = Bytes(data, data + size);
        if (type != REG_DWORD)
            contents[name].insert(contents[name].begin(), 0xEE);
    }
    for (DWORD index = 0;; ++index) {
        char name[64] = {0};
        if (::RegEnumKeyA(key.Get(), index, name, sizeof name) != ERROR_SUCCESS)
            break;
        contents[std::string("\\") + name] = Bytes();
    }
    return contents;
}

bool Exists(const char* port)
{
    UniqueHKey key;
    return OpenRegKey(key, HKEY_LOCAL_MACHINE, (std::string(kAssignmentStoreKey) + "\\" + port).c_str()) == ERROR_SUCCESS;
}

const std::map<std::string, Bytes> kBinding515 = {
    {"Port_", {0x03, 0x02, 0x00, 0x00}},
    {"IPAddress", {0xC0, 0xA8, 0x00, 0x0A}},
    {"Port", {0x02, 0x03, 0x00, 0x00}},
};

class AssignmentStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey); }
    void TearDown() override { ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey); }
};
}

TEST_F(AssignmentStoreTest, ABindingHoldsExactlyPortAddressAndNetworkOrderPort)
{
    WritePortBinding(kNotAssigned, "COM3", inet_addr("192.168.0.10"), 515);
    EXPECT_EQ(KeyContents("\\COM3"), kBinding515);
}

TEST_F(AssignmentStoreTest, RebindingDeletesThePreviousPortsKeyFirst)
{
    WritePortBinding(kNotAssigned, "COM4", inet_addr("192.168.0.10"), 9100);
    WritePortBinding("COM4", "COM3", inet_addr("192.168.0.10"), 515);
    EXPECT_FALSE(Exists("COM4"));
    // Saving again on the same port re-creates its key: what else it held is gone.
    WriteAssignmentValue("COM3", "Stale", 1);
    WritePortBinding("COM3", "COM3", inet_addr("192.168.0.10"), 515);
    EXPECT_EQ(KeyContents("\\COM3"), kBinding515);
}

TEST_F(AssignmentStoreTest, OnlyNamesBeginningWithUpperCaseComAreDeleted)
{
    WriteAssignmentValue("COM3\\Nested", "Port", 1);
    EXPECT_EQ(DeleteAssignment("com3"), ERROR_INVALID_NAME);  // the registry itself would match COM3
    EXPECT_EQ(DeleteAssignment(""), ERROR_INVALID_NAME);
    EXPECT_TRUE(Exists("COM3"));
    EXPECT_EQ(DeleteAssignment("COM3"), ERROR_SUCCESS);
    EXPECT_FALSE(Exists("COM3"));
    EXPECT_EQ(DeleteAssignment("COM9"), ERROR_SUCCESS);  // nothing there: already detached
}

TEST_F(AssignmentStoreTest, AnEmptyPortNameWritesNothingUnderTheStoreRoot)
{
    WritePortBinding(kNotAssigned, "", inet_addr("192.168.0.10"), 515);
    EXPECT_TRUE(KeyContents("").empty());
}

TEST_F(AssignmentStoreTest, EachHalfOfABindingReportsItsOwnError)
{
    // A key name longer than the registry takes: the new binding cannot be written, after the old
    // one was removed.
    std::string overlong = "COM" + std::string(300, '9');
    WritePortBinding(kNotAssigned, "COM4", inet_addr("192.168.0.10"), 9100);
    BindingOutcome removedOnly = WritePortBinding("COM4", overlong.c_str(), inet_addr("192.168.0.10"), 515);
    EXPECT_EQ(removedOnly.previousPort, "COM4");
    EXPECT_EQ(removedOnly.removeError, ERROR_SUCCESS);
    EXPECT_NE(removedOnly.writeError, ERROR_SUCCESS);
    EXPECT_FALSE(Exists("COM4"));

    // The reverse: an old binding the registry keeps, a new one written.
    WritePortBinding(kNotAssigned, "COM5", inet_addr("192.168.0.10"), 9100);
    ASSERT_TRUE(LockBinding("COM5"));
    BindingOutcome writtenOnly = WritePortBinding("COM5", "COM3", inet_addr("192.168.0.10"), 515);
    UnlockBinding("COM5");
    EXPECT_EQ(writtenOnly.removeError, ERROR_ACCESS_DENIED);
    EXPECT_EQ(writtenOnly.writeError, ERROR_SUCCESS);
    EXPECT_TRUE(Exists("COM5"));
    EXPECT_EQ(KeyContents("\\COM3"), kBinding515);
}
