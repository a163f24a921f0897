// The real kvrlancom_installer.exe, started with a package folder, an empty folder and a folder too
// deep for the INF's path as its current directory, watched from outside: devices, message boxes,
// the completion dialog, the uninstall entry and its redirected standard output.
#include "device_setup.h"
#include "device_setup_calls.h"
#include "device_test_support.h"
#include "failed_steps.h"
#include "handles.h"
#include "install_done_dlg.h"
#include "message_box_probe.h"
#include "program_run.h"
#include "registry_values.h"
#include "res/resource.h"
#include "wow64.h"

#include <gtest/gtest.h>

#include <newdev.h>

#include <algorithm>

namespace {
constexpr const char kCompletionCaption[] = "Install Completed!";

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveAllPackageDevices();
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
    }
    void TearDown() override { SetUp(); }

    // What the uninstall entry must hold, exactly, but for EstimatedSize (what the package folder
    // holds): the version only after an install that succeeded.
    static std::map<std::string, RegistryValue> ExpectedEntry(bool installed)
    {
        char windows[MAX_PATH] = {0};
        ::GetSystemWindowsDirectoryA(windows, MAX_PATH);
        const std::string uninstaller = std::string(windows) + "\\kelvaro\\kvrlancom\\kvrlancom_uninstaller.exe";
        const std::string folder = std::string(windows) + "\\KELVARO\\KVRLANCOM";
        const RegistryValue one = {REG_DWORD, std::string("\1\0\0\0", 4)};
        std::map<std::string, RegistryValue> entry = {
            {"DisplayName", StringValue("KELVARO Virtual Com for ethernet Driver")},
            {"UninstallString", StringValue(uninstaller)},
            {"QuietUninstallString", StringValue("\"" + uninstaller + "\" /quiet")},
            {"InstallLocation", StringValue(folder)},
            {"DisplayIcon", StringValue(folder + "\\kvrconfig.exe,0")},
            {"Publisher", StringValue("KELVARO")},
            {"NoModify", one},
            {"NoRepair", one}};
        if (installed)
            entry["DisplayVersion"] = StringValue(KVR_PACKAGE_VERSION);
        return entry;
    }
    // The uninstall entry as written, its EstimatedSize checked for its form and left out.
    static std::map<std::string, RegistryValue> Entry()
    {
        std::map<std::string, RegistryValue> entry = RegistryValues(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
        EXPECT_EQ(entry["EstimatedSize"].type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(entry["EstimatedSize"].data.size(), 4u);
        entry.erase("EstimatedSize");
        return entry;
    }

    // Runs the installer in folder until its completion dialog shows; answers an error box first
    // when one comes (its text in *errorBox). The status line, after the dialog is closed with OK.
    static std::string Install(const std::string& folder, std::string* output = nullptr, MessageBoxInfo* errorBox = nullptr,
                               const std::string& program = WindowsPath(KVR_INSTALLER_EXE))
    {
        ProgramRun run(program, folder, output != nullptr);
        EXPECT_TRUE(run.Started());
        if (errorBox) {
            HWND box = WaitForMessageBox(run.Pid(), 60000);
            EXPECT_TRUE(box && ReadMessageBox(box, *errorBox) && PressMessageBoxButton(box, IDOK));
        }
        HWND dialog = run.WaitWindow(kCompletionCaption, 60000);
        EXPECT_NE(dialog, nullptr);
        std::string status = ControlText(dialog, IDC_STATUS);
        PostClick(dialog, IDOK);
        EXPECT_TRUE(run.WaitExit());
        if (output)
            *output = run.Output();
        return status;
    }

    // The quiet run's work in this process, with folder as the current directory.
    static int QuietInstallIn(const std::string& folder, int (*run)() = RunQuietInstall)
    {
        char start[MAX_PATH] = {0};
        ::GetCurrentDirectoryA(MAX_PATH, start);
        ::SetCurrentDirectoryA(folder.c_str());
        int exitCode = run();
        ::SetCurrentDirectoryA(start);
        return exitCode;
    }
};

// The driver install as the platform is asked for it: the flags are recorded, and it fails with
// g_installError or does the real install.
DWORD g_installFlags = 0;
DWORD g_installError = NO_ERROR;
bool g_installAsksRestart = false;
BOOL WINAPI RecordingInstall(HWND parent, const char* hardwareId, const char* infPath, DWORD flags, BOOL* reboot)
{
    g_installFlags = flags;
    if (g_installError == NO_ERROR) {
        BOOL installed = ::UpdateDriverForPlugAndPlayDevicesA(parent, hardwareId, infPath, flags, reboot);
        if (installed && g_installAsksRestart && reboot)
            *reboot = TRUE;
        return installed;
    }
    ::SetLastError(g_installError);
    return FALSE;
}

BOOL RefusingRemoval(HDEVINFO, SP_DEVINFO_DATA*)
{
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

class RecordedInstallTest : public InstallerTest {
protected:
    void SetUp() override
    {
        InstallerTest::SetUp();
        g_installError = NO_ERROR;
        g_installAsksRestart = false;
        m_previousInstall = ReplaceDriverInstallCall(RecordingInstall);
    }
    void TearDown() override
    {
        ReplaceDriverInstallCall(m_previousInstall);
        ReplaceDeviceRemoveCall(nullptr);
        TakeFailedSteps();
        InstallerTest::TearDown();
    }
    DriverInstallCall m_previousInstall = nullptr;
};
}

// With someone at the screen the install may ask (an unsigned driver, a file to find); a quiet run
// has nobody to answer, and a prompt would wait for ever.
TEST_F(RecordedInstallTest, OnlyTheQuietInstallForbidsPrompts)
{
    PackageFolder package;
    EXPECT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_OK);  // the dialog's call
    EXPECT_EQ(g_installFlags, static_cast<DWORD>(INSTALLFLAG_FORCE));
    EXPECT_EQ(QuietInstallIn(package.Path()), 0);
    EXPECT_EQ(g_installFlags, static_cast<DWORD>(INSTALLFLAG_FORCE | INSTALLFLAG_NONINTERACTIVE));
    EXPECT_EQ(InstallFromInf(package.InfPath(), "kelvaro\\tcpsio"), INSTALL_OK);
    EXPECT_EQ(g_installFlags, static_cast<DWORD>(INSTALLFLAG_FORCE));
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 3u);
    EXPECT_TRUE(TakeFailedSteps().empty());
}

// The install refused (as an unsigned driver is where no prompt may show), and the new device
// cannot be taken away again: the run fails naming both, each with its own error.
TEST_F(RecordedInstallTest, AFailedQuietInstallWhoseDeviceStaysNamesBothSteps)
{
    PackageFolder package;
    g_installError = ERROR_NO_CATALOG_FOR_OEM_INF;
    ReplaceDeviceRemoveCall(RefusingRemoval);
    EXPECT_EQ(QuietInstallIn(package.Path()), 1603);
    std::vector<DeviceRecord> left = DevicesWithHardwareId("kelvaro\\tcpsio");
    ASSERT_EQ(left.size(), 1u);
    std::vector<FailedStep> failed = TakeFailedSteps();
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(FailedStepLine(failed[0]),
              "Removing the half-installed device " + left[0].instanceId + " failed: error 5\n");
    EXPECT_EQ(FailedStepLine(failed[1]), "Installing the driver's virtual port from " + package.InfPath() +
                                             " failed: error " + std::to_string(ERROR_NO_CATALOG_FOR_OEM_INF) + "\n");
    EXPECT_EQ(Entry(), ExpectedEntry(false));
}

// The platform's restart request is what a deployment tool must learn by 3010, whether the port was
// added or updated; the driver install is made to ask for it, as Wine's never does.
TEST_F(RecordedInstallTest, QuietRunsEndWith3010ExactlyWhenTheDriverInstallAsksForARestart)
{
    PackageFolder package;
    EXPECT_EQ(QuietInstallIn(package.Path()), 0);
    g_installAsksRestart = true;
    EXPECT_EQ(QuietInstallIn(package.Path()), 3010);
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 2u);

    // An update brings the present ports to the INF's driver and adds none.
    EXPECT_EQ(QuietInstallIn(package.Path(), RunQuietUpdate), 3010);
    g_installAsksRestart = false;
    EXPECT_EQ(QuietInstallIn(package.Path(), RunQuietUpdate), 0);
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 2u);
    EXPECT_EQ(g_installFlags, static_cast<DWORD>(INSTALLFLAG_FORCE | INSTALLFLAG_NONINTERACTIVE));
    EXPECT_EQ(Entry(), ExpectedEntry(true));
    EXPECT_TRUE(TakeFailedSteps().empty());
}

TEST_F(InstallerTest, InAPackageFolderInstallsOneDevicePerRunAndOneEntry)
{
    PackageFolder package;
    std::string output;
    EXPECT_EQ(Install(package.Path(), &output), "Install Success!");
    // Windowed, no console: the line reaches the redirected output, as CR LF in text mode.
    EXPECT_EQ(output, "Driver Installed successfully.\r\n");
    std::vector<DeviceRecord> devices = DevicesWithHardwareId("kelvaro\\tcpsio");
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].hardwareIds, std::vector<std::string>{"kelvaro\\tcpsio"});
    EXPECT_EQ(Entry(), ExpectedEntry(true));

    EXPECT_EQ(Install(package.Path()), "Install Success!");
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 2u);
    EXPECT_EQ(Entry(), ExpectedEntry(true));
}

TEST_F(InstallerTest, ElsewhereTellsTheSearchErrorAndStillWritesTheEntry)
{
    // The program file lies beside the INF, which is never looked for there.
    PackageFolder package;
    const std::string program = package.Path() + "\\kvrlancom_installer.exe";
    ASSERT_TRUE(::CopyFileA(WindowsPath(KVR_INSTALLER_EXE).c_str(), program.c_str(), FALSE));
    PackageFolder elsewhere(false);
    MessageBoxInfo box;
    EXPECT_EQ(Install(elsewhere.Path(), nullptr, &box, program), "");
    ::DeleteFileA(program.c_str());
    EXPECT_EQ(box.text, "Error Code : 012");
    EXPECT_EQ(box.caption, "kvrlancom_installer");
    EXPECT_EQ(box.icon, "exclamation");
    ASSERT_EQ(box.buttons.size(), 1u);
    EXPECT_EQ(box.buttons[0].id, IDOK);
    EXPECT_TRUE(DevicesWithHardwareId("kelvaro\\tcpsio").empty());
    EXPECT_EQ(Entry(), ExpectedEntry(false));
}

TEST_F(InstallerTest, ACurrentDirectoryTooDeepForTheInfsPathIsInfNotFound)
{
    // A folder whose INF path would be longer than a path may be: the installer must not form it
    // (nor a shortened one) and reports what the file search reports for a name too long.
    PackageFolder base(false);
    std::string deep = base.Path();
    std::vector<std::string> made;
    while (deep.size() < 250) {
        deep += "\\" + std::string(std::min<size_t>(40, 249 - deep.size()), 'd');
        ASSERT_TRUE(::CreateDirectoryA(deep.c_str(), nullptr)) << deep.size();
        made.push_back(deep);
    }
    ASSERT_GE(deep.size() + sizeof "\\kvrlancom.INF", static_cast<size_t>(MAX_PATH) + 1);
    // What the file search itself says of that name.
    WIN32_FIND_DATAA found;
    EXPECT_EQ(::FindFirstFileA((deep + "\\kvrlancom.INF").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));

    MessageBoxInfo box;
    EXPECT_EQ(Install(deep, nullptr, &box), "");
    EXPECT_EQ(box.text, "Error Code : 01206");  // ERROR_FILENAME_EXCED_RANGE
    EXPECT_TRUE(DevicesWithHardwareId("kelvaro\\tcpsio").empty());
    EXPECT_EQ(Entry(), ExpectedEntry(false));
    for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
        ::RemoveDirectoryA(folder->c_str());
}

// /quiet and what else the command line may hold. A window would keep the program from ending, and
// the test's own watch fails on any message box it did not expect.
TEST_F(InstallerTest, QuietInstallsWithoutAWindowAndAnswersByExitCode)
{
    PackageFolder package;
    ProgramRun installing(WindowsPath(KVR_INSTALLER_EXE), package.Path(), false, "/QUIET");  // any letter case
    ASSERT_TRUE(installing.WaitExit(60000));
    EXPECT_EQ(installing.ExitCode(), 0u);
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 1u);
    EXPECT_EQ(Entry(), ExpectedEntry(true));

    // No INF here: failed, without the error box; the entry is still written, and loses the
    // version the earlier run wrote, which a detection rule would take for "installed".
    PackageFolder elsewhere(false);
    ProgramRun failing(WindowsPath(KVR_INSTALLER_EXE), elsewhere.Path(), false, " /quiet /norestart ");
    ASSERT_TRUE(failing.WaitExit(60000));
    EXPECT_EQ(failing.ExitCode(), 1603u);
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 1u);
    EXPECT_EQ(Entry(), ExpectedEntry(false));
}

TEST_F(InstallerTest, AnyOtherArgumentIsRefusedByNameBeforeAnythingIsDone)
{
    PackageFolder package;
    for (const char* arguments : {"/S", "quiet", "/norestart"}) {
        ProgramRun run(WindowsPath(KVR_INSTALLER_EXE), package.Path(), false, arguments);
        MessageBoxInfo box;
        HWND shown = WaitForMessageBox(run.Pid(), 30000);
        ASSERT_TRUE(shown && ReadMessageBox(shown, box) && PressMessageBoxButton(shown, IDOK)) << arguments;
        EXPECT_NE(box.text.find(arguments), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("accepted argument is /quiet"), std::string::npos) << box.text;
        ASSERT_TRUE(run.WaitExit());
        EXPECT_EQ(run.ExitCode(), 87u);
    }
    EXPECT_TRUE(DevicesWithHardwareId("kelvaro\\tcpsio").empty());
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
}

// Beside /quiet nobody may be at the screen: a box there would hang a deployment for good.
TEST_F(InstallerTest, AWrongArgumentBesideQuietIsNamedOnStandardOutputWithoutAWindow)
{
    PackageFolder package;
    for (const char* arguments : {"/quiet /bogus", "/q /QUIET"}) {
        ProgramRun run(WindowsPath(KVR_INSTALLER_EXE), package.Path(), true, arguments);
        ASSERT_TRUE(run.WaitExit(20000)) << arguments;
        EXPECT_EQ(run.ExitCode(), 87u);
        EXPECT_EQ(run.Output().find("Unknown argument: " + std::string(arguments) + " The only"), 0u) << run.Output();
    }
    EXPECT_TRUE(DevicesWithHardwareId("kelvaro\\tcpsio").empty());
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
}

// A 32-bit installer on 64-bit Windows, as this process is made to see itself: the platform would
// refuse the device, so none is attempted; the run fails and the entry is still written.
TEST_F(InstallerTest, QuietOnWow64InstallsNoDeviceAndFails)
{
    PackageFolder package;
    Wow64Query previous = ReplaceWow64Query([] { return true; });
    int exitCode = QuietInstallIn(package.Path());
    ReplaceWow64Query(previous);
    EXPECT_EQ(exitCode, 1603);
    ASSERT_EQ(TakeFailedSteps().size(), 1u);
    EXPECT_TRUE(DevicesWithHardwareId("kelvaro\\tcpsio").empty());
    EXPECT_EQ(Entry(), ExpectedEntry(false));
    EXPECT_NE(InstallerWow64Refusal().find("64-bit KVRLANCOM_INSTALLER.exe"), std::string::npos);
}

// The uninstall entry made unwritable: a registry link to a key under a volatile key, which takes
// no lasting child (ERROR_CHILD_MUST_BE_VOLATILE). The device is installed, yet the run fails: the
// uninstaller could not be found.
TEST_F(InstallerTest, QuietFailsWhenTheUninstallEntryCannotBeWritten)
{
    UniqueHKey volatileKey, link;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KvrVolatileTest", 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, volatileKey.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallEntryKey, 0, nullptr,
                                REG_OPTION_VOLATILE | REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS, nullptr, link.Put(), nullptr),
              ERROR_SUCCESS);
    const wchar_t target[] = L"\\Registry\\Machine\\SOFTWARE\\KvrVolatileTest\\Entry";
    ASSERT_EQ(::RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK, reinterpret_cast<const BYTE*>(target),
                               sizeof target - sizeof(wchar_t)),
              ERROR_SUCCESS);

    PackageFolder package;
    int exitCode = QuietInstallIn(package.Path());
    std::vector<FailedStep> failed = TakeFailedSteps();
    ::RegDeleteKeyA(link.Get(), "");
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KvrVolatileTest");
    HKEY stale = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallEntryKey, REG_OPTION_OPEN_LINK, KEY_READ, &stale),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(exitCode, 1603);
    EXPECT_EQ(DevicesWithHardwareId("kelvaro\\tcpsio").size(), 1u);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(FailedStepLine(failed[0]), "Writing the uninstall entry failed: error 1021\n");
}
