// The manifest each shipped program carries, read from the built program files of both builds as
// the system reads it: the execution level that makes Windows ask for administrator rights.
#include "program_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// The requestedExecutionLevel element of the program's manifest (resource 1 of type 24); empty
// when there is none.
std::string ExecutionLevelOf(const std::string& program)
{
    HMODULE image = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image)
        return "(not loaded: error " + std::to_string(::GetLastError()) + ")";
    std::string element;
    HRSRC found = ::FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (found) {
        const char* text = static_cast<const char*>(::LockResource(::LoadResource(image, found)));
        std::string manifest(text, ::SizeofResource(image, found));
        size_t start = manifest.find("<requestedExecutionLevel");
        if (start != std::string::npos)
            element = manifest.substr(start, manifest.find("/>", start) + 2 - start);
    }
    ::FreeLibrary(image);
    return element;
}

void ExpectAdministratorRights(const std::string& tree)
{
    for (const char* program :
         {"/config_tool/kvrconfig.exe", "/installer/kvrlancom_installer.exe", "/uninstaller/kvrlancom_uninstaller.exe"})
        EXPECT_EQ(ExecutionLevelOf(WindowsPath((tree + program).c_str())),
                  "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>")
            << tree << program;
}
}

TEST(Manifests, EveryProgramOfThisBuildAsksForAdministratorRights)
{
    ExpectAdministratorRights(KVR_THIS_BUILD);
}

TEST(Manifests, EveryProgramOfTheOtherBuildAsksForAdministratorRights)
{
    if (::GetFileAttributesA(WindowsPath(KVR_OTHER_BUILD "/installer/kvrlancom_installer.exe").c_str()) ==
        INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the other build is not here: " << KVR_OTHER_BUILD;
    ExpectAdministratorRights(KVR_OTHER_BUILD);
}
