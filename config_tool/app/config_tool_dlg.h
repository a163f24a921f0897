// The main window (dialog 102): the printer list and one button per function of the tool.
#pragma once
#include "controls.h"
#include "dialog.h"
#include "../printers/printer_rows.h"

#include <string>
#include <vector>

class CConfigToolDlg : public CDialog {
public:
    CConfigToolDlg();

    // "No" of the list row whose state changed last, or of the row the chosen printer stands in
    // after a refill; -1 while no printer is chosen.
    int m_nSelected;
    CListCtrl m_lstPrinters;

    // Rebuilds the list from the printer table, reading the port assignment store once. The chosen
    // printer (by MAC address) stays chosen and highlighted where it still stands; when it is gone,
    // nothing is chosen.
    void FillPrinterList();

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
