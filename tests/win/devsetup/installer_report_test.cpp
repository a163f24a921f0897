// What the installer's form of InstallFromInf tells the user: the "Error Code : 01%d" box for a
// missing INF, and its result line on the redirected standard output of a windowed program.
#include "device_setup.h"
#include "device_test_support.h"
#include "handles.h"
#include "message_box_watch.h"

#include <gtest/gtest.h>

namespace {
class InstallerReportTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveAllPackageDevices(); }
    void TearDown() override { RemoveAllPackageDevices(); }
};

// Runs install_output_probe.exe (windowed, no console) on infPath with its standard output
// redirected into a file, and returns what it wrote there.
std::string RunProbeWithRedirectedOutput(const std::string& infPath, DWORD& exitCode)
{
    const std::string outputPath = infPath + ".out";
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    UniqueKernelHandle output(::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable, CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output.Get();
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + ProgramFolder() + "\\install_output_probe.exe\" \"" + infPath + "\"";
    exitCode = STILL_ACTIVE;
    if (::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        UniqueKernelHandle processHandle(process.hProcess);
        UniqueKernelHandle threadHandle(process.hThread);
        ::WaitForSingleObject(process.hProcess, 60000);
        ::GetExitCodeProcess(process.hProcess, &exitCode);
    }
    output.Reset();

    std::string written;
    UniqueKernelHandle file(::CreateFileA(outputPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    char chunk[256];
    DWORD got = 0;
    while (file.Valid() && ::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
        written.append(chunk, got);
    file.Reset();
    ::DeleteFileA(outputPath.c_str());
    return written;
}
}

TEST_F(InstallerReportTest, AMissingInfShowsTheErrorCodeOfTheFileSearch)
{
    PackageFolder empty(false);
    MessageBoxWatch watch;
    EXPECT_EQ(InstallFromInf(empty.InfPath(), "kelvaro\\tcpsio"), INSTALL_FAILED);
    EXPECT_EQ(InstallFromInf(empty.Path() + "\\missing\\kvrlancom.INF", "kelvaro\\tcpsio"), INSTALL_FAILED);
    const std::vector<MessageBoxInfo>& shown = watch.Stop();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Error Code : 012");  // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(shown[1].text, "Error Code : 013");  // ERROR_PATH_NOT_FOUND
    EXPECT_EQ(shown[0].caption, "devsetup_installer_tests");
    EXPECT_EQ(shown[0].icon, "exclamation");
    ASSERT_EQ(shown[0].buttons.size(), 1u);
    EXPECT_EQ(shown[0].buttons[0].id, IDOK);
    EXPECT_TRUE(DevicesWithHardwareId("kelvaro\\tcpsio").empty());
}

TEST_F(InstallerReportTest, AWindowedProgramsResultLineReachesItsRedirectedStandardOutput)
{
    PackageFolder package;
    DWORD exitCode = 0;
    // Text mode: the runtime writes the line end as CR LF.
    EXPECT_EQ(RunProbeWithRedirectedOutput(package.InfPath(), exitCode), "Driver Installed successfully.\r\n");
    EXPECT_EQ(exitCode, static_cast<DWORD>(INSTALL_OK));
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 1u);

    package.WriteInf("[Version]\r\nSignature=\"$WINDOWS NT$\"\r\n");  // names no setup class
    EXPECT_EQ(RunProbeWithRedirectedOutput(package.InfPath(), exitCode), "");
    EXPECT_EQ(exitCode, static_cast<DWORD>(INSTALL_FAILED));
}
