// kvrconfig's deployment switches where the registry refuses: the exit code says failed and the
// message carries the registry's error.
#include "command/command_run.h"
#include "machine_keys.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

TEST(RunCommand, ABindingTheRegistryRefusesFailsWithTheRegistrysError)
{
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    // A volatile store refuses the lasting key a binding needs (ERROR_CHILD_MUST_BE_VOLATILE).
    UniqueHKey store;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey, 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS | kMachineView, nullptr, store.Put(), nullptr),
              ERROR_SUCCESS);
    std::string output;
    EXPECT_EQ(RunCommand(ParseCommandLine("/bind COM3 192.168.250.10 9100"), output), kCommandFailed);
    EXPECT_EQ(output.find("Error : Cannot bind COM3 to 192.168.250.10 9100 (registry error 1021"), 0u) << output;
    EXPECT_FALSE(BindingExists("COM3"));
    store.Reset();
    ClearPortsAndStore();
}
