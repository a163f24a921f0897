// The manifest each shipped program carries, read from the built program files of both builds as
// the system reads it: the execution level that makes Windows ask for administrator rights. And the
// PE header's Terminal Server aware mark of every program the setup ships (setup/stage.cmake).
#include "program_run.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
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

// Every program the setup ships (as stage.cmake lists them by their place in the build tree) has
// the Terminal Server aware mark in its optional header.
void ExpectTerminalServerAware(const std::string& tree)
{
    std::ifstream stage(WindowsPath(KVR_SOURCE_DIR "/setup/stage.cmake"));
    std::string text((std::istreambuf_iterator<char>(stage)), std::istreambuf_iterator<char>());
    const std::regex listed(R"(\n\s+(\S+\.exe)\s+\S+\.exe)");
    int programs = 0;
    for (std::sregex_iterator m(text.begin(), text.end(), listed), end; m != end; ++m, ++programs) {
        std::ifstream file(WindowsPath((tree + "/" + (*m)[1].str()).c_str()), std::ios::binary);
        IMAGE_DOS_HEADER dos = {};
        file.read(reinterpret_cast<char*>(&dos), sizeof dos);
        // The field lies at the same offset in the 32- and the 64-bit optional header.
        file.seekg(dos.e_lfanew + 4 + sizeof(IMAGE_FILE_HEADER) + offsetof(IMAGE_OPTIONAL_HEADER32, DllCharacteristics));
        WORD flags = 0;
        file.read(reinterpret_cast<char*>(&flags), sizeof flags);
        EXPECT_TRUE(file.good() && (flags & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)) << tree << "/" << (*m)[1];
    }
    EXPECT_GE(programs, 3);
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

TEST(ProgramHeaders, EveryShippedProgramOfBothBuildsIsTerminalServerAware)
{
    ExpectTerminalServerAware(KVR_THIS_BUILD);
    if (::GetFileAttributesA(WindowsPath(KVR_OTHER_BUILD "/installer/kvrlancom_installer.exe").c_str()) ==
        INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "the other build is not here: " << KVR_OTHER_BUILD;
    ExpectTerminalServerAware(KVR_OTHER_BUILD);
}
