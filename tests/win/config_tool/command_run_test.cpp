// The switches of kvrconfig and kvrctl on the real registry: what they write, what they refuse, and
// that a binding the registry refuses leaves the earlier one as it was.
#include "command/command_run.h"
#include "machine_keys.h"
#include "store/binding_value_write.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {
int Ctl(const std::string& line, CommandOutput& output, bool elevated = true)
{
    return RunCtlCommand(ParseCommandLine(line.c_str(), CommandSet::kCtl), elevated, output);
}

// The three values of a binding, raw, in their order; "" for each that is missing.
std::string BindingBytes(const std::string& port)
{
    return BindingValueBytes(port, "Port_") + "|" + BindingValueBytes(port, "IPAddress") + "|" +
           BindingValueBytes(port, "Port");
}

const std::string kBound9100 = std::string("\x8C\x23\0\0|\xC0\xA8\xFA\x0A|\x23\x8C\0\0", 14);

// The registry takes "Port_" and refuses "IPAddress", as a registry out of resources would.
LONG RefuseTheAddress(HKEY key, const char* valueName, DWORD value)
{
    if (std::strcmp(valueName, "IPAddress") == 0)
        return ERROR_NO_SYSTEM_RESOURCES;
    return ::RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::string TempFolder(const char* name)
{
    char temp[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name;
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
}

TEST(RunCommand, ABindingTheRegistryRefusesFailsWithTheRegistrysError)
{
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    // A volatile store refuses the lasting key a binding needs (ERROR_CHILD_MUST_BE_VOLATILE). Its
    // parent is made lasting first: created along with the store it would be volatile too.
    std::string parentPath(kAssignmentStoreKey);
    parentPath.erase(parentPath.rfind('\\'));
    UniqueHKey parent, store;
    ASSERT_EQ(CreateRegKey(parent, HKEY_LOCAL_MACHINE, parentPath.c_str()), ERROR_SUCCESS);
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey, 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS | kMachineView, nullptr, store.Put(), nullptr),
              ERROR_SUCCESS);
    std::string output;
    EXPECT_EQ(RunCommand(ParseCommandLine("/bind COM3 192.168.250.10 9100"), output), kCommandFailed);
    EXPECT_EQ(output.find("Error : Cannot bind COM3 to 192.168.250.10 9100 (registry error 1021"), 0u) << output;
    EXPECT_FALSE(BindingExists("COM3"));
    // An earlier binding there, volatile too, is written over, not deleted and made anew.
    UniqueHKey earlier;
    ASSERT_EQ(::RegCreateKeyExA(store.Get(), "COM3", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                earlier.Put(), nullptr),
              ERROR_SUCCESS);
    earlier.Reset();
    output.clear();
    EXPECT_EQ(RunCommand(ParseCommandLine("/bind COM3 192.168.250.10 9100"), output), kCommandDone) << output;
    EXPECT_EQ(BindingBytes("COM3"), kBound9100);
    store.Reset();
    ClearPortsAndStore();
}

TEST(RunCommand, AMachineWithoutAnyPortIsListedNotFailed)
{
    ClearPortsAndStore();
    std::string output;
    EXPECT_EQ(RunCommand(ParseCommandLine("/list"), output), kCommandDone) << output;
    CommandOutput csv;
    EXPECT_EQ(Ctl("/list /csv", csv), kCommandDone) << csv.errors;
    EXPECT_EQ(csv.text, "port,address,tcpport,state\r\n");
}

TEST(RunCommand, ABindTheRegistryRefusesKeepsThePortsEarlierBindingAndSaysSo)
{
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    const BYTE earlier[4] = {192, 168, 0, 10};
    WriteBinding("COM3", earlier, 515);
    const std::string before = BindingBytes("COM3");
    ASSERT_TRUE(RefuseWrites("COM3"));
    CommandOutput output;
    EXPECT_EQ(RunCommand(ParseCommandLine("/bind COM3 192.168.250.10 9100"), output), kCommandFailed);
    AllowWrites("COM3");
    EXPECT_EQ(BindingBytes("COM3"), before);
    EXPECT_EQ(output.text, "");
    EXPECT_NE(output.errors.find("(registry error 5"), std::string::npos) << output.errors;
    EXPECT_NE(output.errors.find("COM3 keeps its earlier binding, as it was."), std::string::npos) << output.errors;
    ClearPortsAndStore();
}

TEST(RunCommand, AWriteRefusedHalfWayPutsBackWhatWasWrittenBeforeIt)
{
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    AddPortDevice("0001", "COM4");
    const BYTE earlier[4] = {192, 168, 0, 10};
    WriteBinding("COM3", earlier, 515);
    const std::string before = BindingBytes("COM3");
    BindingValueWriteCall registry = ReplaceBindingValueWriteCall(RefuseTheAddress);
    CommandOutput rebound, fresh;
    int reboundExit = RunCommand(ParseCommandLine("/bind COM3 192.168.250.10 9100"), rebound);
    int freshExit = RunCommand(ParseCommandLine("/bind COM4 192.168.250.10 9100"), fresh);
    ReplaceBindingValueWriteCall(registry);
    EXPECT_EQ(reboundExit, kCommandFailed);
    EXPECT_EQ(BindingBytes("COM3"), before);
    EXPECT_NE(rebound.errors.find("COM3 keeps its earlier binding, as it was."), std::string::npos) << rebound.errors;
    EXPECT_EQ(freshExit, kCommandFailed);
    EXPECT_FALSE(BindingExists("COM4"));
    ClearPortsAndStore();
}

TEST(RunCommand, LeftoversOfTheEarlierBindingTheRegistryKeepsDoNotFailTheBind)
{
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    const BYTE earlier[4] = {192, 168, 0, 10};
    WriteBinding("COM3", earlier, 515);
    ASSERT_TRUE(LockBinding("COM3"));
    std::string output;
    EXPECT_EQ(RunCommand(ParseCommandLine("/bind COM3 192.168.250.10 9100"), output), kCommandDone) << output;
    UnlockBinding("COM3");
    EXPECT_EQ(BindingBytes("COM3"), kBound9100);
    ClearPortsAndStore();
}

TEST(RunCtlCommand, StarIsTheOnlyPortWritesNeedElevationAndALowerCaseKeyIsUnbound)
{
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    CommandOutput refused;
    EXPECT_EQ(Ctl("/bind * 192.168.250.10 9100", refused, false), kCommandNeedsElevation);
    EXPECT_TRUE(refused.text.empty());
    EXPECT_FALSE(BindingExists("COM3"));

    CommandOutput bound;
    EXPECT_EQ(Ctl("/bind * 192.168.250.10 9100", bound), kCommandDone) << bound.errors;
    EXPECT_EQ(bound.text, "COM3 bound to 192.168.250.10 9100\r\n");
    EXPECT_EQ(BindingBytes("COM3"), kBound9100);

    AddPortDevice("0001", "COM4");
    CommandOutput several;
    EXPECT_EQ(Ctl("/unbind *", several), kCommandNotAPackagePort);
    EXPECT_NE(several.errors.find("it has several: COM3, COM4"), std::string::npos) << several.errors;
    EXPECT_TRUE(BindingExists("COM3"));

    const BYTE ip[4] = {192, 168, 0, 10};
    WriteBinding("com5", ip, 515);
    CommandOutput unbound;
    EXPECT_EQ(Ctl("/unbind COM5", unbound), kCommandDone) << unbound.errors;
    EXPECT_EQ(unbound.text, "com5 unbound\r\n");
    EXPECT_FALSE(BindingExists("com5"));
    ClearPortsAndStore();
}

TEST(RunCtlCommand, AnExportImportedGivesTheSameStoreAndAFileWithABadLineWritesNothing)
{
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    AddPortDevice("0001", "COM4");
    AddPortDevice("0002", "COM10");
    const BYTE printer[4] = {192, 168, 250, 10};
    WriteBinding("COM3", printer, 9100);
    WriteBinding("COM10", printer, 515);
    const std::string before = BindingBytes("COM3") + BindingBytes("COM10");
    const std::string file = TempFolder("kvr export") + "\\ports.csv";
    CommandOutput exported;
    ASSERT_EQ(Ctl("/export \"" + file + "\"", exported), kCommandDone) << exported.errors;

    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey);
    CommandOutput imported;
    EXPECT_EQ(Ctl("/import \"" + file + "\"", imported), kCommandDone) << imported.errors;
    EXPECT_EQ(BindingBytes("COM3") + BindingBytes("COM10"), before);
    EXPECT_FALSE(BindingExists("COM4"));
    EXPECT_EQ(imported.text, "COM10 bound to 192.168.250.10 515\r\nCOM3 bound to 192.168.250.10 9100\r\n"
                             "COM4 is not bound in " + file + ": left as it is\r\n");

    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAssignmentStoreKey);
    const std::pair<const char*, int> refused[] = {
        {"port,address,tcpport,state\r\nCOM3,192.168.250.10,9100,bound\r\nCOM4,192.168.250.10,0,bound\r\n",
         kCommandInvalidArgument},
        {"port,address,tcpport,state\r\nCOM3,192.168.250.10,9100,bound\r\nCOM9,192.168.250.10,515,bound\r\n",
         kCommandNotAPackagePort},
    };
    for (const auto& [text, exitCode] : refused) {
        std::ofstream(file, std::ios::binary) << text;
        CommandOutput output;
        EXPECT_EQ(Ctl("/import \"" + file + "\"", output), exitCode) << output.errors;
        EXPECT_FALSE(BindingExists("COM3")) << text;
    }
    ::DeleteFileA(file.c_str());
    ClearPortsAndStore();
}
