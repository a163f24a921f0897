#include "registry_as_found.h"

#include "driver_package.h"
#include "handles.h"

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {
// Under HKEY_LOCAL_MACHINE. A test that leaves the store's parent volatile (created along with a
// volatile store) would make every later binding fail with 1021: the parent itself is kept.
const char* const kKeptKeys[] = {"SOFTWARE\\KELVARO", kRootPortsEnumKey};
constexpr const char kCopies[] = "SOFTWARE\\KvrTestRegistryAsFound";

std::string CopyPath(size_t index)
{
    return std::string(kCopies) + "\\" + std::to_string(index);
}

class RegistryAsFound : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kCopies);
        for (size_t i = 0; i < sizeof kKeptKeys / sizeof kKeptKeys[0]; ++i) {
            UniqueHKey kept, copy;
            m_found[i] = OpenRegKey(kept, HKEY_LOCAL_MACHINE, kKeptKeys[i], KEY_READ | KEY_WOW64_64KEY) == ERROR_SUCCESS;
            if (!m_found[i])
                continue;
            if (CreateRegKey(copy, HKEY_LOCAL_MACHINE, CopyPath(i).c_str(), KEY_ALL_ACCESS | KEY_WOW64_64KEY) !=
                    ERROR_SUCCESS ||
                ::RegCopyTreeA(kept.Get(), nullptr, copy.Get()) != ERROR_SUCCESS)
                ADD_FAILURE() << "cannot copy HKLM\\" << kKeptKeys[i] << " aside";
        }
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (size_t i = 0; i < sizeof kKeptKeys / sizeof kKeptKeys[0]; ++i) {
            UniqueHKey root;
            if (OpenRegKey(root, HKEY_LOCAL_MACHINE, "", KEY_ALL_ACCESS | KEY_WOW64_64KEY) == ERROR_SUCCESS)
                ::SHDeleteKeyA(root.Get(), kKeptKeys[i]);
            if (!m_found[i])
                continue;
            UniqueHKey kept, copy;
            if (CreateRegKey(kept, HKEY_LOCAL_MACHINE, kKeptKeys[i], KEY_ALL_ACCESS | KEY_WOW64_64KEY) != ERROR_SUCCESS ||
                OpenRegKey(copy, HKEY_LOCAL_MACHINE, CopyPath(i).c_str(), KEY_READ | KEY_WOW64_64KEY) != ERROR_SUCCESS ||
                ::RegCopyTreeA(copy.Get(), nullptr, kept.Get()) != ERROR_SUCCESS)
                ADD_FAILURE() << "cannot put HKLM\\" << kKeptKeys[i] << " back";
        }
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kCopies);
    }

    bool m_found[sizeof kKeptKeys / sizeof kKeptKeys[0]] = {};
};
}

void InstallRegistryAsFound()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new RegistryAsFound);
}
