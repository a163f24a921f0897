// Resources of the test's own module (a test links the program's resource script), read as the
// system reads them: version strings and the images of an icon group.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A value of the version resource's U.S. English, Unicode string table ("<missing>" when absent).
inline std::string VersionString(const char* name)
{
    char path[MAX_PATH] = {0};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    std::string block(size, '\0');
    if (!size || !::GetFileVersionInfoA(path, 0, size, &block[0]))
        return "<no version resource>";
    char* value = nullptr;
    UINT length = 0;
    std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return "<missing>";
    return std::string(value);
}

struct IconImage {
    int width;
    int height;
    int colours;  // 0 for 256 and more
    int bitCount;
    bool operator==(const IconImage& o) const
    {
        return width == o.width && height == o.height && colours == o.colours && bitCount == o.bitCount;
    }
};

// The images an icon group resource lists, in its order.
inline std::vector<IconImage> IconGroupImages(UINT id)
{
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct GroupHeader {
        WORD reserved, type, count;
    };
#pragma pack(pop)
    std::vector<IconImage> images;
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    if (!found)
        return images;
    const auto* header = static_cast<const GroupHeader*>(::LockResource(::LoadResource(module, found)));
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
    for (WORD i = 0; i < header->count; ++i)
        images.push_back({entries[i].width, entries[i].height, entries[i].colours, entries[i].bitCount});
    return images;
}
