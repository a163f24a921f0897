#include "port_list.h"

#include "handles.h"
#include "store_keys.h"

#include <cstring>
#include <string>

void ReadPortName(const char* instanceName, char* buffer, DWORD size)
{
    std::string path = std::string(kRootPortsKey) + "\\" + instanceName + "\\Device Parameters";
    UniqueHKey key;
    if (OpenRegKey(key, HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS)
        return;
    // Read into a buffer of our own first: a value that does not fit, or a string stored without its
    // terminator, must leave the caller's buffer as it was.
    char value[256] = {0};
    DWORD type = 0;
    DWORD length = sizeof value - 1;
    if (::RegQueryValueExA(key.Get(), "PortName", nullptr, &type, reinterpret_cast<BYTE*>(value), &length) != ERROR_SUCCESS ||
        type != REG_SZ)
        return;
    value[length < sizeof value ? length : sizeof value - 1] = '\0';
    size_t nameLength = std::strlen(value);
    if (nameLength + 1 > size)
        return;
    std::memcpy(buffer, value, nameLength + 1);
}

bool FillPortList(CComboBox& comboBox, CDialog& owner)
{
    UniqueHKey ports;
    if (OpenRegKey(ports, HKEY_LOCAL_MACHINE, kRootPortsKey) != ERROR_SUCCESS)
        return false;
    // Not cleared between instances: an instance without a readable name repeats the previous
    // name, which is then found in the list and not added again.
    char portName[kPortNameBufferSize] = {0};
    for (DWORD index = 0;; ++index) {
        char instance[kPortNameBufferSize] = {0};
        DWORD instanceLength = kPortNameBufferSize;
        LONG result = ::RegEnumKeyExA(ports.Get(), index, instance, &instanceLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;  // an instance name too long for the buffer: not one of ours, passed over
        ReadPortName(instance, portName, sizeof portName);
        if (portName[0] == '\0')
            continue;
        bool listed = false;
        for (int item = 0; item < comboBox.GetCount() && !listed; ++item)
            listed = comboBox.GetLBText(item) == portName;
        if (!listed)
            comboBox.AddString(portName);
    }
    comboBox.SetCurSel(0);
    owner.UpdateData(FALSE);
    return true;
}
