#include "port_combo.h"

#include "../store/port_list.h"

bool FillPortList(CComboBox& comboBox, CDialog& owner)
{
    std::vector<std::string> names;
    if (ListPortNames(names) != ERROR_SUCCESS)
        return false;
    for (const std::string& name : names) {
        // The box's own search ignores case; port names are compared exactly everywhere.
        bool listed = false;
        for (int item = 0; item < comboBox.GetCount() && !listed; ++item)
            listed = comboBox.GetLBText(item) == name;
        if (!listed)
            comboBox.AddString(name.c_str());
    }
    comboBox.SetCurSel(0);
    owner.UpdateData(FALSE);
    return true;
}
