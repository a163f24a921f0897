// Paths formed from a Windows directory of any length: a path that does not fit is passed over,
// never cut short to name another file. The INF scan's range, in a Windows directory of its own.
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
