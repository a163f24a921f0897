#include "installer_entry.h"

#include "handles.h"
#include "install_work.h"
#include "machine_keys.h"

DWORD HideInstallerEntry()
{
    UniqueHKey entry;
    LONG result = OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_SET_VALUE | kMachineView);
    if (result == ERROR_FILE_NOT_FOUND)
        return NO_ERROR;
    if (result != ERROR_SUCCESS)
        return static_cast<DWORD>(result);
    const DWORD systemComponent = 1;
    return static_cast<DWORD>(::RegSetValueExA(entry.Get(), "SystemComponent", 0, REG_DWORD,
                                               reinterpret_cast<const BYTE*>(&systemComponent),
                                               sizeof systemComponent));
}

bool InstallerEntryPresent()
{
    UniqueHKey entry;
    return OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_QUERY_VALUE | kMachineView) == ERROR_SUCCESS;
}

DWORD DeleteInstallerEntry()
{
    LONG result = DeleteMachineKeyTree(kUninstallEntryKey);
    return result == ERROR_FILE_NOT_FOUND ? NO_ERROR : static_cast<DWORD>(result);
}
