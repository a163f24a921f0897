#include "uninstall_steps.h"

#include "driver_package.h"
#include "machine_keys.h"
#include "path_format.h"
#include "wow64.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

namespace {
constexpr int kFirstInfCopy = 1;
constexpr int kLastInfCopy = 149;

const char* const kPackageFiles[] = {
    "kvrlancom.INF",
    "KVRLANCOM.sys",
    "KVRLANCOM_INSTALLER.exe",
    "kvrconfig.exe",
    "Quick Reference for Ethernet installation english.pdf",
    "Quick Reference for Ethernet installation korean.pdf",
};

constexpr const char kLegacyProgramsFolder[] = "\\Documents and Settings\\All Users\\Start Menu\\Programs";
constexpr const char kShortcutFolder[] = "\\KELVARO\\KvrLanCom";
const char* const kShortcuts[] = {
    "\\Manual\\Quick manual - korea.lnk",
    "\\Manual\\Quick manual - english.lnk",
    "\\Configuration Tool.lnk",
};
const char* const kShortcutSubfolders[] = {"\\Manual", ""};

bool IsDriverInfCopy(const char* infPath)
{
    char maker[255];
    ::GetPrivateProfileStringA(kDriverInfStringsSection, kDriverInfMakerKey, "", maker, sizeof maker, infPath);
    return ::lstrlenA(maker) > 1 && std::strstr(maker, kDriverMakerText) != nullptr;
}

// A path with every run of backslashes made one, for comparing folders.
std::string CollapsedPath(const char* path)
{
    std::string collapsed;
    for (const char* c = path; *c; ++c)
        if (*c != '\\' || collapsed.empty() || collapsed.back() != '\\')
            collapsed.push_back(*c);
    return collapsed;
}
}

void DeleteDriverInfCopy(const char* windowsDirectory)
{
    FileSystemRedirectionOff realPaths;
    char infPath[MAX_PATH];
    for (int n = kFirstInfCopy; n <= kLastInfCopy; ++n) {
        if (FormatPath(infPath, "%s\\inf\\oem%d.inf", windowsDirectory, n) && IsDriverInfCopy(infPath)) {
            ::DeleteFileA(infPath);
            return;
        }
    }
}

void DeleteDriverFile(const char* windowsDirectory)
{
    FileSystemRedirectionOff realPaths;
    char path[MAX_PATH];
    if (FormatPath(path, "%s\\system32\\drivers\\%s", windowsDirectory, kDriverFileName))
        ::DeleteFileA(path);
}

void DeletePackageKeys()
{
    DeleteMachineKeyTree(kUninstallEntryKey);
    DeleteMachineKeyTree(kPortAssignmentStoreKey);
}

void DeletePackageFiles(const char* windowsDirectory)
{
    char path[MAX_PATH];
    for (const char* file : kPackageFiles)
        if (FormatPath(path, "%s\\KELVARO\\KVRLANCOM\\%s", windowsDirectory, file))
            ::DeleteFileA(path);
}

void RemoveShortcuts(const char* programsFolder)
{
    char path[MAX_PATH];
    for (const char* shortcut : kShortcuts)
        if (FormatPath(path, "%s%s%s", programsFolder, kShortcutFolder, shortcut))
            ::DeleteFileA(path);
    for (const char* folder : kShortcutSubfolders)
        if (FormatPath(path, "%s%s%s", programsFolder, kShortcutFolder, folder))
            ::RemoveDirectoryA(path);
}

void RemoveStartMenuItems(const char* windowsDirectory)
{
    // The drive root ends in a backslash and the folder begins with one: "C:\\Documents and ...".
    char legacyFolder[MAX_PATH];
    if (FormatPath(legacyFolder, "%.3s%s", windowsDirectory, kLegacyProgramsFolder))
        RemoveShortcuts(legacyFolder);

    // Where Windows since Vista (and Wine) keep the shortcuts for all users.
    char commonFolder[MAX_PATH];
    if (::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, commonFolder) == S_OK &&
        ::lstrcmpiA(CollapsedPath(commonFolder).c_str(), CollapsedPath(legacyFolder).c_str()) != 0)
        RemoveShortcuts(commonFolder);
}
