#include "multi_string.h"

#include <cstring>

std::vector<std::string> SplitMultiString(const BYTE* data, DWORD size)
{
    std::vector<std::string> strings;
    const char* text = reinterpret_cast<const char*>(data);
    size_t offset = 0;
    while (data && offset < size) {
        const char* entry = text + offset;
        const void* terminator = std::memchr(entry, '\0', size - offset);
        size_t length = terminator ? static_cast<size_t>(static_cast<const char*>(terminator) - entry) : size - offset;
        if (length == 0)
            break;
        strings.emplace_back(entry, length);
        offset += length + 1;
    }
    return strings;
}
