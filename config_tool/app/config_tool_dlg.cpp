#include "config_tool_dlg.h"

#include "app.h"
#include "minimized_icon.h"
#include "msgbox.h"
#include "../actions/port_actions.h"
#include "../dialogs/firmware_upload_dlg.h"
#include "../dialogs/printer_config_dlg.h"
#include "../dialogs/port_manage_dlg.h"
#include "../dialogs/search_dlg.h"
#include "../printers/printer_table.h"
#include "../res/resource.h"
#include "../store/assignment_store.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr const char kSelectFirst[] = "Select mac address at list";
constexpr const char kNotAssignedMessage[] = "Not assigned!!!";
constexpr const char kCannotOpen[] = "Setting Information does not update, ReAssign the Port";
constexpr const char kPrintFailed[] = "Printer test Failed!!!";
constexpr const char kPrinted[] = "Printer Test Success!!!";
}

CConfigToolDlg::CConfigToolDlg()
    : CDialog(IDD_KVRCONFIG_DIALOG), m_nSelected(-1)
{
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CConfigToolDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PRINTER_LIST, m_lstPrinters);
}

BOOL CConfigToolDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_nSelected = -1;
    m_lstPrinters.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int column = 0; column < kPrinterListColumnCount; ++column)
        m_lstPrinters.InsertColumn(column, kPrinterListColumns[column].heading, LVCFMT_CENTER,
                                   kPrinterListColumns[column].width);
    AddFirmwareUploadMenuItem();
    return TRUE;
}

BOOL CConfigToolDlg::OnCommand(WORD nID, WORD nCode, HWND)
{
    if (nCode != BN_CLICKED)
        return FALSE;
    switch (nID) {
    case IDC_SEARCH: OnSearch(); return TRUE;
    case IDC_CONFIGURE: OnConfigure(); return TRUE;
    case IDC_TEST_PRINT: OnTestPrint(); return TRUE;
    case IDC_DETACH_PORT: OnDetachPort(); return TRUE;
    case IDC_PORT_MANAGE: OnPortManage(); return TRUE;
    case IDC_FIRMWARE_UPLOAD: OnFirmwareUpload(); return TRUE;
    default: return FALSE;
    }
}

BOOL CConfigToolDlg::OnNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (pNMHDR->idFrom == IDC_PRINTER_LIST && pNMHDR->code == LVN_ITEMCHANGED) {
        OnItemChanged(reinterpret_cast<const NMLISTVIEW*>(pNMHDR));
        *pResult = 0;
        return TRUE;
    }
    return FALSE;
}

void CConfigToolDlg::OnItemChanged(const NMLISTVIEW* pNMListView)
{
    // Old and new states are not looked at: a row losing its selection counts like one gaining it.
    // A change of every row at once (item -1) names no row, and so no printer.
    if (pNMListView->iItem < 0)
        return;
    m_nSelected = std::atoi(m_lstPrinters.GetItemText(pNMListView->iItem, kColumnNo).c_str());
}

BOOL CConfigToolDlg::OnPaint()
{
    return PaintMinimizedIcon(*this, m_hIcon);
}

HICON CConfigToolDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CConfigToolDlg::FillPrinterList()
{
    // The chosen printer is followed by its MAC address: a new search may list it elsewhere, and a
    // position alone would then name a printer nobody chose.
    std::string chosenMac = m_nSelected >= 1 ? m_lstPrinters.GetItemText(m_nSelected - 1, kColumnMac) : std::string();

    PortBindings bindings;
    ReadPortBindings(bindings);

    // Without this the list repaints after every cell: seconds for a few hundred printers.
    m_lstPrinters.SendMessage(WM_SETREDRAW, FALSE);
    m_lstPrinters.DeleteAllItems();
    int chosenRow = -1;
    for (int n = 1;; ++n) {
        const PrinterRecord* record = GetPrinterRecord(n);
        if (!record)
            break;
        PrinterRow row = MakePrinterRow(n, *record);
        row.cells[kColumnAssignInfo] = AssignedPortOf(bindings, row.ip);
        int index = n - 1;
        m_lstPrinters.InsertItem(index, row.cells[kColumnNo].c_str());
        for (int column = 1; column < kPrinterListColumnCount; ++column)
            m_lstPrinters.SetItemText(index, column, row.cells[column].c_str());
        if (chosenRow < 0 && !chosenMac.empty() && row.cells[kColumnMac] == chosenMac)
            chosenRow = index;
    }
    m_nSelected = chosenRow >= 0 ? chosenRow + 1 : -1;
    if (chosenRow >= 0)
        m_lstPrinters.SelectOnly(chosenRow);
    m_lstPrinters.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_lstPrinters.m_hWnd, nullptr, TRUE);
}

bool CConfigToolDlg::CheckSelection()
{
    if (m_nSelected < 0) {
        AfxMessageBox(kSelectFirst, MB_OK);
        return false;
    }
    return true;
}

std::string CConfigToolDlg::SelectedAssignInfo() const
{
    return m_lstPrinters.GetItemText(m_nSelected - 1, kColumnAssignInfo);
}

bool CConfigToolDlg::GetSelectedBoundPort(std::string& port)
{
    if (!CheckSelection())
        return false;
    port = SelectedAssignInfo();
    if (port == kNotAssigned) {
        AfxMessageBox(kNotAssignedMessage, MB_OK);
        return false;
    }
    return true;
}

void CConfigToolDlg::RunSearch()
{
    CSearchDlg search;
    search.DoModal();
    FillPrinterList();
}

void CConfigToolDlg::OnSearch()
{
    RunSearch();
}

void CConfigToolDlg::OnConfigure()
{
    if (!CheckSelection())
        return;
    CPrinterConfigDlg config(this);
    config.m_nPrinterNo = m_nSelected;
    config.m_strAssignedPort = SelectedAssignInfo();
    if (config.DoModal() != IDOK)
        return;
    // The printer applies its new settings before it answers a search again.
    ::Sleep(2000);
    RunSearch();
}

void CConfigToolDlg::OnTestPrint()
{
    std::string port;
    if (!GetSelectedBoundPort(port))
        return;
    switch (PrintTestPage(port)) {
    case TestPrintOutcome::Printed: AfxMessageBox(kPrinted, MB_OK); break;
    case TestPrintOutcome::CannotOpen: AfxMessageBox(kCannotOpen, MB_OK); break;
    case TestPrintOutcome::WriteFailed: AfxMessageBox(kPrintFailed, MB_OK); break;
    }
}

void CConfigToolDlg::OnDetachPort()
{
    std::string port;
    if (!GetSelectedBoundPort(port))
        return;
    LONG error = ERROR_SUCCESS;
    switch (DetachPort(port, &error)) {
    case DetachOutcome::Detached:
        m_lstPrinters.SetItemText(m_nSelected - 1, kColumnAssignInfo, kNotAssigned);
        break;
    case DetachOutcome::NotAPort:
        break;  // no COM port (or the empty cell of a stale row): nothing to detach, nothing said
    case DetachOutcome::Failed: {
        // The driver still holds the binding, so the row keeps showing it.
        char text[200];
        std::snprintf(text, sizeof text, "Error : Fail to detach %s (registry error %ld).\r\nThe port stays assigned.",
                      port.c_str(), static_cast<long>(error));
        AfxMessageBox(text, MB_OK);
        break;
    }
    }
}

void CConfigToolDlg::OnPortManage()
{
    // The list of this window does not show ports, so nothing is refreshed afterwards.
    CPortManageDlg portManage;
    portManage.DoModal();
}

void CConfigToolDlg::OnFirmwareUpload()
{
    if (!CheckSelection())
        return;
    // The upload ends on its own; the printer table and the list stay as they are.
    CFirmwareUploadDlg upload;
    upload.m_nPrinterNo = m_nSelected;
    upload.DoModal();
}

void CConfigToolDlg::AddFirmwareUploadMenuItem()
{
    // The layout has no button for command 1003; the system menu is its way in.
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu)
        return;
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, IDM_FIRMWARE_UPLOAD, "Firmware Upload...");
}

BOOL CConfigToolDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult)
{
    // The system reserves the low four bits of a system command.
    if (message != WM_SYSCOMMAND || (wParam & 0xFFF0) != IDM_FIRMWARE_UPLOAD)
        return FALSE;
    SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FIRMWARE_UPLOAD, BN_CLICKED), 0);
    *pResult = 0;
    return TRUE;
}
