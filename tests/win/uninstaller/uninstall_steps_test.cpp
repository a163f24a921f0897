// Paths formed from a Windows directory of any length: a path that does not fit is passed over,
// never cut short to name another file. The INF scan's range, and the setup's list of files, in a
// Windows directory of its own.
#include "failed_steps.h"
#include "uninstall_steps.h"

#include "handles.h"

#include <gtest/gtest.h>

#include <string>

namespace {
bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
}

TEST(UninstallerPaths, AWindowsDirectoryTooLongForItsPathsDeletesNothing)
{
    // A file named by exactly the part of every package path that fits a path buffer.
    char temp[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "kvr_long_windows";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::string windows = folder + "\\" + std::string(MAX_PATH - 2 - folder.size(), 'w');
    ASSERT_EQ(windows.size(), static_cast<size_t>(MAX_PATH - 1));
    UniqueKernelHandle(::CreateFileA(windows.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(Exists(windows));

    const std::string tooLong = windows + "indows";
    DeleteDriverInfCopy(tooLong.c_str());
    DeleteDriverFile(tooLong.c_str());
    DeletePackageFiles(tooLong.c_str());
    RemoveShortcuts(tooLong.c_str());
    EXPECT_TRUE(Exists(windows));
    // Not silently: the uninstall did not finish.
    std::vector<FailedStep> failed = TakeFailedSteps();
    EXPECT_FALSE(failed.empty());
    for (const FailedStep& step : failed)
        EXPECT_EQ(step.error, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE)) << step.step;

    ::DeleteFileA(windows.c_str());
    ::RemoveDirectoryA(folder.c_str());
}

TEST(UninstallerPaths, TheInfScanReachesOem149AndNoFurther)
{
    char temp[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string windows = std::string(temp) + "kvr_inf_scan";
    const std::string inf = windows + "\\inf\\oem";
    ::CreateDirectoryA(windows.c_str(), nullptr);
    ::CreateDirectoryA((windows + "\\inf").c_str(), nullptr);
    for (int n : {149, 150}) {
        UniqueKernelHandle file(::CreateFileA((inf + std::to_string(n) + ".inf").c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        const char text[] = "[strings]\r\nTCPSIO.Manufacturer=\"KELVARO\"\r\n";
        ::WriteFile(file.Get(), text, sizeof text - 1, &written, nullptr);
    }
    DeleteDriverInfCopy(windows.c_str());
    EXPECT_FALSE(Exists(inf + "149.inf"));
    EXPECT_TRUE(Exists(inf + "150.inf"));

    ::DeleteFileA((inf + "150.inf").c_str());
    ::RemoveDirectoryA((windows + "\\inf").c_str());
    ::RemoveDirectoryA(windows.c_str());
}

// The setup's list is a file in the package folder: whatever it names, only files of that folder go,
// never the uninstaller, and one that stays keeps none of the later ones.
TEST(UninstallerPaths, TheSetupsListDeletesOnlyPlainNamesOfThePackageFolder)
{
    char temp[MAX_PATH] = {0};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string windows = std::string(temp) + "kvr_setup_list";
    const std::string package = windows + "\\KELVARO\\KVRLANCOM\\";
    for (const std::string& folder : {windows, windows + "\\KELVARO", package})
        ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string list = "..\\outside.txt\r\n..\r\nKVRLANCOM_UNINSTALLER.EXE\r\nkvrlancom_uninstaller.exe.\r\n"
                             "kvrlancom_uninstaller.exe::$DATA\r\nheld.dll\r\nafter.dll\r\n";
    for (const std::string& file : {windows + "\\KELVARO\\outside.txt", package + "kvrlancom_uninstaller.exe",
                                    package + "held.dll", package + "after.dll", package + "kvrlancom_setup_files.txt"}) {
        UniqueKernelHandle made(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (file.find("setup_files") != std::string::npos)
            ::WriteFile(made.Get(), list.data(), static_cast<DWORD>(list.size()), &written, nullptr);
    }
    EXPECT_EQ(SetupFileNames(list), (std::vector<std::string>{"held.dll", "after.dll"}));
    {
        UniqueKernelHandle held(::CreateFileA((package + "held.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                              nullptr));
        DeletePackageFiles(windows.c_str());
    }
    std::vector<FailedStep> failed = TakeFailedSteps();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].step, "Deleting " + package + "held.dll");
    EXPECT_TRUE(Exists(windows + "\\KELVARO\\outside.txt"));
    EXPECT_TRUE(Exists(package + "kvrlancom_uninstaller.exe"));
    EXPECT_FALSE(Exists(package + "after.dll"));
    EXPECT_TRUE(Exists(package + "kvrlancom_setup_files.txt"));  // kept for the run that finds held.dll free

    for (const std::string& file : {package + "kvrlancom_uninstaller.exe", package + "held.dll",
                                    package + "kvrlancom_setup_files.txt", windows + "\\KELVARO\\outside.txt"})
        ::DeleteFileA(file.c_str());
    for (const std::string& folder : {package, windows + "\\KELVARO", windows})
        ::RemoveDirectoryA(folder.c_str());
}
