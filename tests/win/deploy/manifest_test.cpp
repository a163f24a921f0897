// The manifest each shipped program carries, read from the built program files of both builds as
// the system reads it: the execution level that makes Windows ask for administrator rights. And the
// PE header's Terminal Server aware mark of every program the setup ships (setup/stage.cmake).
#include "program_run.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

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

// The built programs the setup ships, by their place in the build tree, as stage.cmake lists them.
std::vector<std::string> ShippedPrograms()
{
    std::ifstream stage(WindowsPath(KVR_SOURCE_DIR "/setup/stage.cmake"));
    std::string text((std::istreambuf_iterator<char>(stage)), std::istreambuf_iterator<char>());
    std::vector<std::string> programs;
    const std::regex line(R"(\n\s+(\S+\.exe)\s+\S+\.exe)");
    for (std::sregex_iterator m(text.begin(), text.end(), line), end; m != end; ++m)
        programs.push_back((*m)[1]);
    return programs;
}

// The optional header's DllCharacteristics; 0 with a note when the file cannot be read as a program.
WORD DllCharacteristicsOf(const std::string& program)
{
    std::ifstream file(program, std::ios::binary);
    IMAGE_DOS_HEADER dos = {};
    file.read(reinterpret_cast<char*>(&dos), sizeof dos);
    // Signature and file header come first; the field lies at the same offset in both header forms.
    file.seekg(dos.e_lfanew + 4 + sizeof(IMAGE_FILE_HEADER) + offsetof(IMAGE_OPTIONAL_HEADER32, DllCharacteristics));
    WORD characteristics = 0;
    file.read(reinterpret_cast<char*>(&characteristics), sizeof characteristics);
    EXPECT_TRUE(file.good() && dos.e_magic == IMAGE_DOS_SIGNATURE) << program;
    return characteristics;
}

void ExpectTerminalServerAware(const std::string& tree)
{
    std::vector<std::string> programs = ShippedPrograms();
    ASSERT_GE(programs.size(), 3u);
    for (const std::string& program : programs)
        EXPECT_TRUE(DllCharacteristicsOf(WindowsPath((tree + "/" + program).c_str())) &
                    IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)
            << tree << "/" << program;
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
