// Thin wrappers for the common controls the dialogs use. Each is bound to a dialog's control by
// DDX_Control; every call is one message to that control.
#pragma once
#include "wnd.h"

#include <commctrl.h>
#include <string>

class CListCtrl : public CWnd {
public:
    DWORD SetExtendedStyle(DWORD dwNewStyle);
    // Returns the new column's index, or -1.
    int InsertColumn(int nCol, const char* heading, int nFormat, int nWidth);
    // Returns the new row's index, or -1.
    int InsertItem(int nItem, const char* text);
    BOOL SetItemText(int nItem, int nSubItem, const char* text);
    // The cell's text; empty when the row or the column does not exist.
    std::string GetItemText(int nItem, int nSubItem) const;
    BOOL DeleteAllItems();
    int GetItemCount() const;
    // Selects and focuses row nItem alone, scrolled into view.
    void SelectOnly(int nItem);
};

class CComboBox : public CWnd {
public:
    // Returns the new item's index (its sorted place in a sorted box), or CB_ERR / CB_ERRSPACE.
    int AddString(const char* text);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;  // CB_ERR when nothing is selected
    int SetCurSel(int nSelect);
    // The item's text; empty for an index that does not exist.
    std::string GetLBText(int nIndex) const;
};

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int nLower, int nUpper);
    int SetPos(int nPos);
};

class CIPAddressCtrl : public CWnd {
public:
    void SetAddress(BYTE nField0, BYTE nField1, BYTE nField2, BYTE nField3);
    // Fields left to right; a blank field reads as 0. Returns the number of non-blank fields.
    int GetAddress(BYTE& nField0, BYTE& nField1, BYTE& nField2, BYTE& nField3) const;
    void ClearAddress();
};
