#include "config_tool_dlg.h"

#include "app.h"
#include "msgbox.h"
#include "../dialogs/firmware_upload_dlg.h"
#include "../dialogs/printer_config_dlg.h"
#include "../dialogs/port_manage_dlg.h"
#include "../dialogs/search_dlg.h"
#include "../printers/printer_list.h"
#include "../res/resource.h"

#include <cstdlib>

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
    InsertPrinterListColumns(m_lstPrinters);
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
    m_nSelected = std::atoi(m_lstPrinters.GetItemText(pNMListView->iItem, 0).c_str());
}

BOOL CConfigToolDlg::OnPaint()
{
    if (!IsIconic())
        return FALSE;
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ::DrawIcon(hdc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return TRUE;
}

HICON CConfigToolDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

bool CConfigToolDlg::CheckSelection()
{
    if (m_nSelected < 0) {
        AfxMessageBox("Select mac address at list", MB_OK);
        return false;
    }
    return true;
}

std::string CConfigToolDlg::SelectedAssignInfo() const
{
    return m_lstPrinters.GetItemText(m_nSelected - 1, kColumnAssignInfo);
}

void CConfigToolDlg::RunSearch()
{
    CSearchDlg search;
    search.DoModal();
    FillPrinterList(m_lstPrinters);
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
