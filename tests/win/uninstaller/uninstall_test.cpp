// The real kvrlancom_uninstaller.exe, started from the package folder of a prefix where the package
// is fully installed, worked from outside: what OK removes and what it keeps, the restart prompt,
// a second run, and Cancel, Escape and the close box removing nothing.
#include "device_setup_calls.h"
#include "device_test_support.h"
#include "failed_steps.h"
#include "message_box_probe.h"
#include "program_run.h"
#include "registry_values.h"
#include "remove_package.h"
#include "uninstall_dlg.h"
#include "uninstall_steps.h"
#include "wow64.h"

#include "handles.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>

namespace {
constexpr const char kDialogCaption[] = " Uninstall - KVRLANCOM Drvier";
constexpr const char kHardwareId[] = "kelvaro\\tcpsio";

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WindowsDirectory()
{
    char windows[MAX_PATH] = {0};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    return windows;
}

// The package as its installation leaves it, with neighbours the uninstaller must leave alone;
// everything it made is removed again afterwards.
class InstalledPackage {
public:
    InstalledPackage()
    {
        const std::string windows = WindowsDirectory();
        std::vector<std::string> ids = {kHardwareId};
        std::vector<std::string> otherIds = {"kelvaro\\tcpsio2"};
        RegisterDevice(kPortsClass, &ids);
        RegisterDevice(kPortsClass, &ids);
        m_otherDevice = RegisterDevice(kPortsClass, &otherIds);

        // INF copies: oem3 is the first match in 1..149 (oem1 and oem2 do not match).
        const std::string inf = windows + "\\inf\\oem";
        const char* matching = "[strings]\r\nTCPSIO.Manufacturer=\"KELVARO\"\r\n";
        File(inf + "0.inf", matching, false);
        File(inf + "1.inf", "[strings]\r\nTCPSIO.Manufacturer=\"kelvaro co.\"\r\n", false);
        File(inf + "2.inf", "[strings]\r\nTCPSIO.Manufacturer=K\r\n", false);
        File(inf + "3.inf", "[Strings]\r\nTCPSIO.Manufacturer=\"KELVARO Co., Ltd.\"\r\n", true);
        File(inf + "3.pnf", "", false);
        File(inf + "9.inf", matching, false);
        File(inf + "150.inf", matching, false);
        File(windows + "\\system32\\drivers\\KVRLANCOM.sys", "", true);

        const std::string package = windows + "\\KELVARO\\KVRLANCOM";
        Folder(package, false);
        for (const char* name : {"kvrlancom.INF", "KVRLANCOM.sys", "KVRLANCOM_INSTALLER.exe", "kvrconfig.exe",
                                 "Quick Reference for Ethernet installation english.pdf",
                                 "Quick Reference for Ethernet installation korean.pdf"})
            File(package + "\\" + name, "", true);
        // What the setup laid down beyond the six, by its list (the uninstaller's own name in it is
        // never taken); a file of nobody's stays.
        File(package + "\\kvrlancom_portname.dll", "", true);
        File(package + "\\kvrlancom_setup_files.txt",
             "KVRLANCOM_INSTALLER.exe\r\nkvrconfig.exe\r\nkvrlancom.INF\r\nkvrlancom_portname.dll\r\n"
             "kvrlancom_uninstaller.exe\r\n",
             true);
        File(package + "\\readme.txt", "", false);
        uninstallerPath = package + "\\kvrlancom_uninstaller.exe";
        m_files.push_back({uninstallerPath, false});
        ::CopyFileA(WindowsPath(KVR_UNINSTALLER_EXE).c_str(), uninstallerPath.c_str(), FALSE);

        char common[MAX_PATH] = {0};
        ::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, common);
        // The old layout's folder is a real one here (on current Windows a junction into the common
        // one): anybody may have made it, and what it holds stays.
        for (const std::string& programs : {windows.substr(0, 2) + "\\Documents and Settings\\All Users\\Start Menu\\Programs",
                                           std::string(common)}) {
            const bool removable = programs == common;
            Folder(programs + "\\KELVARO", false);
            Folder(programs + "\\KELVARO\\KvrLanCom", removable);
            Folder(programs + "\\KELVARO\\KvrLanCom\\Manual", removable);
            File(programs + "\\KELVARO\\KvrLanCom\\Manual\\Quick manual - korea.lnk", "", removable);
            File(programs + "\\KELVARO\\KvrLanCom\\Manual\\Quick manual - english.lnk", "", removable);
            File(programs + "\\KELVARO\\KvrLanCom\\Configuration Tool.lnk", "", removable);
        }

        m_madeKelvaroKey = !RegistryKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KELVARO");
        UniqueHKey key;
        CreateRegKey(key, HKEY_LOCAL_MACHINE, (std::string(kUninstallEntryKey) + "\\Extra").c_str());
        CreateRegKey(key, HKEY_LOCAL_MACHINE, kUninstallEntryKey);
        ::RegSetValueExA(key.Get(), "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
        CreateRegKey(key, HKEY_LOCAL_MACHINE, (std::string(kPortAssignmentStoreKey) + "\\COM3").c_str());
        DWORD port = 9100;
        ::RegSetValueExA(key.Get(), "Port", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&port), sizeof port);
    }

    ~InstalledPackage()
    {
        RemoveAllPackageDevices();
        RemoveDevice(m_otherDevice);
        for (const auto& file : m_files)
            ::DeleteFileA(file.first.c_str());
        for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder)
            ::RemoveDirectoryA(folder->first.c_str());
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, m_madeKelvaroKey ? "SOFTWARE\\KELVARO" : kPortAssignmentStoreKey);
    }

    // Everything of the package is gone, everything else is still there.
    void ExpectUninstalled() const
    {
        EXPECT_TRUE(DevicesWithHardwareId(kHardwareId).empty());
        EXPECT_TRUE(IsPresent(m_otherDevice));
        ExpectPaths([](bool removable) { return !removable; });
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kPortAssignmentStoreKey));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\KELVARO"));
    }

    void ExpectUntouched() const
    {
        EXPECT_EQ(DevicesWithHardwareId(kHardwareId).size(), 2u);
        ExpectPaths([](bool) { return true; });
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, (std::string(kUninstallEntryKey) + "\\Extra").c_str()));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, (std::string(kPortAssignmentStoreKey) + "\\COM3").c_str()));
    }

    // A file the next run is to remove.
    void MarkRemovable(const std::string& path)
    {
        for (auto& file : m_files)
            file.second |= file.first == path;
    }

    std::string uninstallerPath;

private:
    // A file or folder the test makes; removable: the uninstaller is to remove it.
    void File(const std::string& path, const char* text, bool removable)
    {
        ASSERT_FALSE(Exists(path)) << path << " is there before the test";
        UniqueKernelHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ::WriteFile(file.Get(), text, static_cast<DWORD>(::lstrlenA(text)), &written, nullptr);
        m_files.push_back({path, removable});
    }
    void Folder(const std::string& path, bool removable)
    {
        // Missing parents are made (and removed afterwards) too; folders already there are kept.
        size_t next = path.find('\\', 3);
        for (;; next = path.find('\\', next + 1)) {
            std::string part = path.substr(0, next);
            if (!Exists(part) && ::CreateDirectoryA(part.c_str(), nullptr))
                m_folders.push_back({part, removable && next == std::string::npos});
            if (next == std::string::npos)
                break;
        }
    }
    void ExpectPaths(const std::function<bool(bool)>& expectPresent) const
    {
        for (const auto& file : m_files)
            EXPECT_EQ(Exists(file.first), expectPresent(file.second)) << file.first;
        for (const auto& folder : m_folders)
            EXPECT_EQ(Exists(folder.first), expectPresent(folder.second)) << folder.first;
    }

    std::vector<std::pair<std::string, bool>> m_files;
    std::vector<std::pair<std::string, bool>> m_folders;
    std::string m_otherDevice;
    bool m_madeKelvaroKey = false;
};

class UninstallerTest : public ::testing::Test {
protected:
    // Starts the uninstaller and waits for its dialog.
    HWND Start(ProgramRun& run)
    {
        EXPECT_TRUE(run.Started());
        HWND dialog = run.WaitWindow(kDialogCaption);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    // OK, then the restart prompt answered No; the prompt as shown.
    MessageBoxInfo UninstallAnsweringNo(const std::string& program)
    {
        ProgramRun run(program, WindowsDirectory());
        HWND dialog = Start(run);
        PostClick(dialog, IDOK);
        MessageBoxInfo prompt;
        HWND box = WaitForOwnedMessageBox(dialog, 60000);
        EXPECT_TRUE(box && ReadMessageBox(box, prompt) && PressMessageBoxButton(box, IDNO));
        EXPECT_TRUE(run.WaitExit());
        return prompt;
    }
};
}

TEST_F(UninstallerTest, OkRemovesThePackageKeepsTheRestAndOffersARestartEachRun)
{
    InstalledPackage installed;
    MessageBoxInfo prompt = UninstallAnsweringNo(installed.uninstallerPath);
    installed.ExpectUninstalled();
    EXPECT_EQ(prompt.caption, "kvrlancom_uninstaller");
    EXPECT_EQ(prompt.text, "Restart the computr can take effect. \nPlease restart the computer.\n\n"
                           "[Yes] I want to restart my computer now.\n[No] I will restart my computer later.");
    EXPECT_EQ(prompt.icon, "question");
    ASSERT_EQ(prompt.buttons.size(), 2u);
    EXPECT_EQ(prompt.buttons[0].id, IDYES);
    EXPECT_EQ(prompt.buttons[1].id, IDNO);

    // Nothing of the package left to find but oem9.inf, now the first match: the prompt still comes.
    installed.MarkRemovable(WindowsDirectory() + "\\inf\\oem9.inf");
    EXPECT_EQ(UninstallAnsweringNo(installed.uninstallerPath).text, prompt.text);
    installed.ExpectUninstalled();
}

TEST_F(UninstallerTest, CancelEscapeAndTheCloseBoxRemoveNothing)
{
    InstalledPackage installed;
    for (auto close : {std::function<void(HWND)>([](HWND d) { PostClick(d, IDCANCEL); }), std::function<void(HWND)>(PostEscape),
                       std::function<void(HWND)>(PostCloseBox)}) {
        ProgramRun run(installed.uninstallerPath, WindowsDirectory());
        close(Start(run));
        EXPECT_TRUE(run.WaitExit());
    }
    installed.ExpectUntouched();
}

// /quiet and what else the command line may hold. A window would keep the program from ending, and
// the test's own watch fails on any message box it did not expect.
TEST_F(UninstallerTest, QuietFailsNamingAFileHeldOpenThenRemovesAllWithoutAskingForARestart)
{
    InstalledPackage installed;
    const std::string held = WindowsDirectory() + "\\KELVARO\\KVRLANCOM\\kvrlancom_portname.dll";
    {
        UniqueKernelHandle holding(::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holding.Valid());
        ProgramRun run(installed.uninstallerPath, WindowsDirectory(), true, "/quiet");
        ASSERT_TRUE(run.WaitExit(60000));
        EXPECT_EQ(run.ExitCode(), 1603u);
        EXPECT_EQ(run.Output(), "Deleting " + held + " failed: error 32\r\n");  // ERROR_SHARING_VIOLATION
        EXPECT_TRUE(DevicesWithHardwareId(kHardwareId).empty());
    }
    // Nothing asked for a restart: none is asked for.
    ProgramRun run(installed.uninstallerPath, WindowsDirectory(), true, "/norestart /quiet");
    ASSERT_TRUE(run.WaitExit(60000));
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(run.Output(), "");
    installed.MarkRemovable(WindowsDirectory() + "\\inf\\oem9.inf");  // the first match of the second run
    installed.ExpectUninstalled();
}

TEST_F(UninstallerTest, AnyOtherArgumentIsRefusedByNameAndRemovesNothing)
{
    InstalledPackage installed;
    ProgramRun run(installed.uninstallerPath, WindowsDirectory(), false, "/uninstall");
    MessageBoxInfo box;
    HWND shown = WaitForMessageBox(run.Pid(), 30000);
    ASSERT_TRUE(shown && ReadMessageBox(shown, box) && PressMessageBoxButton(shown, IDOK));
    EXPECT_EQ(box.caption, "kvrlancom_uninstaller");
    EXPECT_NE(box.text.find("/uninstall"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("accepted argument is /quiet"), std::string::npos) << box.text;
    ASSERT_TRUE(run.WaitExit());
    EXPECT_EQ(run.ExitCode(), 87u);

    // Beside /quiet: no box, which nobody could close, but a line.
    ProgramRun quiet(installed.uninstallerPath, WindowsDirectory(), true, "/quiet /bogus");
    ASSERT_TRUE(quiet.WaitExit(20000));
    EXPECT_EQ(quiet.ExitCode(), 87u);
    EXPECT_EQ(quiet.Output().rfind("Unknown argument: /quiet /bogus The only accepted argument is /quiet", 0), 0u)
        << quiet.Output();
    installed.ExpectUntouched();
}

TEST_F(UninstallerTest, QuietAsksForARestartWhenARemovalDoes)
{
    InstalledPackage installed;
    ReplaceDeviceRemoveCall(RemovalDeferredToRestart);
    int exitCode = RunQuietUninstall();
    ReplaceDeviceRemoveCall(nullptr);
    EXPECT_TRUE(TakeFailedSteps().empty());
    EXPECT_EQ(exitCode, 3010);
}

// A 32-bit uninstaller on 64-bit Windows, as this process is made to see itself: the devices stay
// (the platform would refuse their removal), everything else goes, and the run counts as failed.
TEST_F(UninstallerTest, QuietOnWow64LeavesTheDevicesRemovesTheRestAndFails)
{
    InstalledPackage installed;
    Wow64Query previous = ReplaceWow64Query([] { return true; });
    int exitCode = RunQuietUninstall();
    ReplaceWow64Query(previous);
    EXPECT_EQ(exitCode, 1603);
    std::vector<FailedStep> failed = TakeFailedSteps();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].error, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(DevicesWithHardwareId(kHardwareId).size(), 2u);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kPortAssignmentStoreKey));
    EXPECT_NE(UninstallerWow64Refusal().find("64-bit kvrlancom_uninstaller.exe"), std::string::npos);
}
