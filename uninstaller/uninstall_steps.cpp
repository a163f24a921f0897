#include "uninstall_steps.h"

#include "driver_package.h"
#include "failed_steps.h"
#include "handles.h"
#include "machine_keys.h"
#include "path_format.h"
#include "wow64.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

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

constexpr const char kPackageFolder[] = "%s\\KELVARO\\KVRLANCOM\\%s";
constexpr const char kUninstallerFile[] = "kvrlancom_uninstaller.exe";

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

// Deletes a file of the package; one that is still there afterwards is a failed step. False then.
bool DeletePackagePath(const char* path)
{
    if (::DeleteFileA(path))
        return true;
    DWORD error = ::GetLastError();
    if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return true;
    RecordFailedStep(std::string("Deleting ") + path, error);
    return false;
}

// The whole text of a small file; empty when there is none.
std::string ReadSmallFile(const char* path)
{
    std::string text;
    UniqueKernelHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char block[4096];
    DWORD read = 0;
    while (file.Valid() && text.size() < (1u << 20) && ::ReadFile(file.Get(), block, sizeof block, &read, nullptr) &&
           read > 0)
        text.append(block, read);
    return text;
}

// FormatPath, with a path that does not fit recorded as a failed step: what it would have named
// stays.
template <typename... Args>
bool FormPath(char (&path)[MAX_PATH], const char* format, Args... args)
{
    if (FormatPath(path, format, args...))
        return true;
    RecordFailedStep(std::string("Forming the path \"") + format + "\"", ERROR_FILENAME_EXCED_RANGE);
    return false;
}

// A name the setup's list may hold: one file of the package folder, named as it is stored.
// Separators, a drive or stream (":"), "." and ".." would reach beyond that file; the system drops
// trailing dots and blanks, so such a name could stand for another file (the uninstaller's own).
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name.back() != '.' &&
           name.back() != ' ';
}
}

void DeleteDriverInfCopy(const char* windowsDirectory)
{
    // The INF folder is not one that a 32-bit program sees redirected: the scan runs with
    // redirection as it is.
    char infPath[MAX_PATH];
    for (int n = kFirstInfCopy; n <= kLastInfCopy; ++n) {
        if (!FormPath(infPath, "%s\\inf\\oem%d.inf", windowsDirectory, n))
            return;
        if (IsDriverInfCopy(infPath)) {
            DeletePackagePath(infPath);
            return;
        }
    }
}

void DeleteDriverFile(const char* windowsDirectory)
{
    char path[MAX_PATH];
    if (!FormPath(path, "%s\\system32\\drivers\\%s", windowsDirectory, kDriverFileName))
        return;
    // Off only for the delete: with redirection off a 32-bit program may fail to load the DLLs
    // that later calls need.
    FileSystemRedirectionOff realPaths;
    DeletePackagePath(path);
}

void DeletePackageKeys()
{
    for (const char* key : {kUninstallEntryKey, kPortAssignmentStoreKey}) {
        LONG result = DeleteMachineKeyTree(key);
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
            RecordFailedStep(std::string("Deleting HKEY_LOCAL_MACHINE\\") + key, static_cast<DWORD>(result));
    }
}

std::vector<std::string> SetupFileNames(const std::string& list)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos)
            end = list.size();
        std::string name = list.substr(start, end - start);
        if (!name.empty() && name.back() == '\r')
            name.pop_back();
        // Plain names of the package folder only, and never the uninstaller itself (in any letter
        // case: the file system ignores it).
        if (IsPlainFileName(name) && ::lstrcmpiA(name.c_str(), kUninstallerFile) != 0)
            names.push_back(name);
        start = end + 1;
    }
    return names;
}

void DeletePackageFiles(const char* windowsDirectory)
{
    char path[MAX_PATH];
    // What the setup laid down beyond the six (the driver package's co-installer, catalog, ...),
    // as the setup's list names it; the list goes once they are all gone, so a later run can
    // still find what stayed.
    if (FormPath(path, kPackageFolder, windowsDirectory, kSetupFileList)) {
        char listed[MAX_PATH];
        bool allGone = true;
        for (const std::string& name : SetupFileNames(ReadSmallFile(path)))
            allGone = FormPath(listed, kPackageFolder, windowsDirectory, name.c_str()) && DeletePackagePath(listed) &&
                      allGone;
        if (allGone)
            DeletePackagePath(path);
    }
    for (const char* file : kPackageFiles)
        if (FormPath(path, kPackageFolder, windowsDirectory, file))
            DeletePackagePath(path);
}

void RemoveShortcuts(const char* programsFolder)
{
    char path[MAX_PATH];
    for (const char* shortcut : kShortcuts)
        if (FormPath(path, "%s%s%s", programsFolder, kShortcutFolder, shortcut))
            DeletePackagePath(path);
    for (const char* folder : kShortcutSubfolders)
        if (FormPath(path, "%s%s%s", programsFolder, kShortcutFolder, folder))
            ::RemoveDirectoryA(path);
}

void RemoveStartMenuItems()
{
    // Only the folder the shell names. The old layout's "<drive>\Documents and Settings\All
    // Users\Start Menu\Programs" is, since Vista, a junction that leads there; where it is a real
    // folder, any user may have made it, and what it holds is not the package's.
    char commonFolder[MAX_PATH];
    HRESULT result = ::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, commonFolder);
    if (result != S_OK) {
        RecordFailedStep("Finding the common Programs folder", static_cast<DWORD>(result));
        return;
    }
    RemoveShortcuts(commonFolder);
}
