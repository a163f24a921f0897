// Paths formed from a Windows directory of any length: a path that does not fit is passed over,
// never cut short to name another file.
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
