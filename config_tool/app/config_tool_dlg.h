// The main window (dialog 102): the printer list and one button per function of the tool.
#pragma once
#include "controls.h"
#include "dialog.h"

class CConfigToolDlg : public CDialog {
public:
    CConfigToolDlg();

    // "No" of the list row whose state changed last; -1 until a row has been chosen.
    int m_nSelected;
    CListCtrl m_lstPrinters;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD nID, WORD nCode, HWND hCtl) override;
    BOOL OnNotify(NMHDR* pNMHDR, LRESULT* pResult) override;
    BOOL OnPaint() override;
    HICON OnQueryDragIcon() override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void OnSearch();
    void OnConfigure();
    void OnTestPrint();
    void OnDetachPort();
    void OnPortManage();
    void OnFirmwareUpload();
    void AddFirmwareUploadMenuItem();
    void OnItemChanged(const NMLISTVIEW* pNMListView);

    // Shows "Select mac address at list" and returns false while no row has been chosen.
    bool CheckSelection();
    // Text of the "Assign Info" cell of the chosen row (empty when that row does not exist).
    std::string SelectedAssignInfo() const;
    // The port of the chosen row's "Assign Info" cell. Shows why and returns false when no row is
    // chosen or its printer has no bound port (port is then unspecified).
    bool GetSelectedBoundPort(std::string& port);
    void RunSearch();

    HICON m_hIcon;
};
