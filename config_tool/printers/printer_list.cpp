#include "printer_list.h"

#include "handles.h"
#include "list_text.h"
#include "printer_table.h"
#include "../store/store_keys.h"

#include <winsock2.h>

#include <string>

namespace {
struct ColumnSpec {
    const char* heading;
    int width;
};
const ColumnSpec kColumns[] = {
    {"No", 25}, {"Mac Address", 110}, {"IP Address", 110}, {"Port", 57}, {"Assign Info", 80},
};
}

void InsertPrinterListColumns(CListCtrl& list)
{
    int index = 0;
    for (const ColumnSpec& column : kColumns) {
        list.InsertColumn(index, column.heading, LVCFMT_CENTER, column.width);
        ++index;
    }
}

void FillPrinterList(CListCtrl& list)
{
    // Without this the list repaints after every cell: seconds for a few hundred printers.
    list.SendMessage(WM_SETREDRAW, FALSE);
    list.DeleteAllItems();
    for (int n = 1;; ++n) {
        const PrinterRecord* record = GetPrinterRecord(n);
        if (!record)
            break;
        int row = n - 1;
        list.InsertItem(row, NumberText(n).c_str());
        list.SetItemText(row, 1, MacText(*record).c_str());
        list.SetItemText(row, 2, IpColumnText(*record).c_str());
        list.SetItemText(row, 3, PortText(*record).c_str());
        // Looked up for 0.0.0.0 as well: the store may bind a port to it.
        unsigned long ip = inet_addr(DottedIpText(record->ip).c_str());
        list.SetItemText(row, kColumnAssignInfo, FindAssignedPort(ip).c_str());
    }
    list.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(list.m_hWnd, nullptr, TRUE);
}

std::string FindAssignedPort(unsigned long ip)
{
    UniqueHKey store;
    if (OpenRegKey(store, HKEY_LOCAL_MACHINE, kAssignmentStoreKey) != ERROR_SUCCESS)
        return kNotAssigned;
    for (DWORD index = 0;; ++index) {
        char name[kPortNameBufferSize] = {0};
        DWORD nameLength = kPortNameBufferSize;
        LONG result = ::RegEnumKeyExA(store.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA)
            continue;  // longer than any port name: not a binding
        if (result != ERROR_SUCCESS)
            break;     // no more subkeys (or the store cannot be read further)
        std::string path = std::string(kAssignmentStoreKey) + "\\" + name;
        UniqueHKey binding;
        if (OpenRegKey(binding, HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS)
            continue;
        DWORD value = 0;
        DWORD type = 0;
        DWORD size = sizeof value;
        result = ::RegQueryValueExA(binding.Get(), "IPAddress", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        // A subkey without a readable address binds nothing; the later subkeys still count.
        if (result != ERROR_SUCCESS || size != sizeof value)
            continue;
        if (value == static_cast<DWORD>(ip))
            return name;
    }
    return kNotAssigned;
}
