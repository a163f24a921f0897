// The recursive key delete that replaces the shell's (which cannot name the 64-bit view), and the
// command line of the installer and the uninstaller.
#include "handles.h"
#include "machine_keys.h"
#include "registry_values.h"
#include "run_mode.h"

#include <gtest/gtest.h>

namespace {
constexpr const char kParent[] = "SOFTWARE\\KvrDeployTest";
constexpr const char kTree[] = "SOFTWARE\\KvrDeployTest\\Tree";

void MakeKey(const std::string& path, const char* value)
{
    UniqueHKey key;
    ASSERT_EQ(CreateRegKey(key, HKEY_LOCAL_MACHINE, path.c_str(), KEY_ALL_ACCESS | kMachineView), ERROR_SUCCESS);
    DWORD data = 1;
    ::RegSetValueExA(key.Get(), value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}
}

TEST(MachineKeyTree, GoesWithEverythingUnderItAndLeavesItsParentAndNeighbours)
{
    const std::string tree = kTree;
    MakeKey(tree, "top");
    MakeKey(tree + "\\COM3", "IPAddress");
    MakeKey(tree + "\\COM3\\deeper\\still", "x");
    MakeKey(tree + "\\COM4", "Port");
    MakeKey(std::string(kParent) + "\\TreeNeighbour", "y");

    EXPECT_EQ(DeleteMachineKeyTree(kTree), ERROR_SUCCESS);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kTree));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, (std::string(kParent) + "\\TreeNeighbour").c_str()));
    // Not there (any more): the registry's own answer.
    EXPECT_EQ(DeleteMachineKeyTree(kTree), ERROR_FILE_NOT_FOUND);

    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kParent);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParent);
}

TEST(RunMode, QuietAnywhereWithOnlyNoRestartAndTheProgramsOwnSwitchBesideIt)
{
    EXPECT_EQ(ParseRunMode(nullptr), RunMode::Interactive);
    EXPECT_EQ(ParseRunMode("  \t"), RunMode::Interactive);
    for (const char* quiet : {"/quiet", " /Quiet  ", "/quiet /norestart", "/NORESTART\t/quiet", "/quiet /quiet"})
        EXPECT_EQ(ParseRunMode(quiet), RunMode::Quiet) << quiet;
    EXPECT_EQ(ParseRunMode("/update /quiet", "/update"), RunMode::Quiet);
    for (const char* other : {"/q", "/quiet2", "quiet", "/S", "/quiet x", "/norestart", "/quiet /update", "/quiet/norestart"})
        EXPECT_EQ(ParseRunMode(other), RunMode::Invalid) << other;
    // The program's own switch alone does not make a run quiet.
    EXPECT_EQ(ParseRunMode("/update", "/update"), RunMode::Invalid);
}
