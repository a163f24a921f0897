#include "registry_values.h"

#include "handles.h"

std::map<std::string, RegistryValue> RegistryValues(HKEY root, const char* key)
{
    std::map<std::string, RegistryValue> values;
    UniqueHKey opened;
    if (OpenRegKey(opened, root, key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[2048];
        DWORD dataSize = sizeof data;
        DWORD type = REG_NONE;
        if (::RegEnumValueA(opened.Get(), index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameLength)] = {type, std::string(reinterpret_cast<const char*>(data), dataSize)};
    }
    return values;
}

bool RegistryKeyExists(HKEY root, const char* key)
{
    UniqueHKey opened;
    return OpenRegKey(opened, root, key) == ERROR_SUCCESS;
}
