#include "machine_keys.h"

#include "handles.h"

LONG DeleteMachineKeyTree(const char* path)
{
    // The tree is emptied through a handle of the 64-bit view, then the key itself is deleted in
    // that view: the shell's recursive delete has no way to name a view.
    UniqueHKey key;
    LONG result = OpenRegKey(key, HKEY_LOCAL_MACHINE, path,
                             DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | kMachineView);
    if (result != ERROR_SUCCESS)
        return result;
    result = ::RegDeleteTreeA(key.Get(), nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    key.Reset();
    return ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, kMachineView, 0);
}
