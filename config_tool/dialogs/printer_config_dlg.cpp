#include "printer_config_dlg.h"

#include "msgbox.h"
#include "../net/datagram_frame.h"
#include "../net/settings_record.h"
#include "../printers/baud_rate.h"
#include "../printers/printer_table.h"
#include "../res/resource.h"
#include "../store/assignment_store.h"
#include "../store/port_binding.h"
#include "port_combo.h"

#include <vector>

namespace {
constexpr const char kNoRecord[] = "Error : Fail to read Infomation list!";
constexpr const char kNoAddressOrPort[] = "Please check IP Address or Port Number";
constexpr const char kLocalPortOutOfRange[] = "Local Port must be a number from 1 to 65535.";
constexpr const char kInactivityOutOfRange[] = "Inactivity time must be a number of seconds from 0 to 65535.";
constexpr const char kNoVirtualPort[] =
    "There is no virtual COM port yet, so no port can be bound to this printer.\r\n"
    "The settings are sent to the printer all the same. "
    "Add a port in Port Management, then save again to bind it.";
constexpr const char kSaved[] = "Succeeded to save information!";
constexpr const char kSavedCaption[] = "Success";
}

void SelectBaudRate(CComboBox& list, uint8_t code)
{
    int index = SelectBaudRateIndex(code);
    if (index >= 0)
        list.SetCurSel(index);
}

CPrinterConfigDlg::CPrinterConfigDlg(CWnd* pParent)
    : CDialog(IDD_CONFIG_DIALOG, pParent),
      m_pRecord(nullptr),
      m_nPrinterNo(0),
      m_nInactivityTime(0),
      m_nLocalPort(0),
      m_bDhcpMode(0),
      m_bAckShown(false)
{
}

void CPrinterConfigDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PORT_LIST, m_cbPort);
    DDX_Control(pDX, IDC_SUBNET_MASK, m_ipSubnetMask);
    DDX_Control(pDX, IDC_BAUD_RATE, m_cbBaudRate);
    DDX_Control(pDX, IDC_GATEWAY, m_ipGateway);
    DDX_Control(pDX, IDC_IP_ADDRESS, m_ipAddress);
    DDX_Text(pDX, IDC_INACTIVITY_TIME, m_nInactivityTime);
    DDX_Text(pDX, IDC_LOCAL_PORT, m_nLocalPort);
    DDX_Text(pDX, IDC_FIRMWARE_VERSION, m_strFirmwareVersion);
    DDX_Check(pDX, IDC_DHCP_MODE, m_bDhcpMode);
    DDX_Control(pDX, IDC_WINSOCK, m_Winsock);
}

BOOL CPrinterConfigDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    for (const char* rate : kBaudRateTexts)
        m_cbBaudRate.AddString(rate);

    m_pRecord = GetPrinterRecord(m_nPrinterNo);
    if (!m_pRecord) {
        // The table changed since the main window's list was filled.
        AfxMessageBox(kNoRecord, MB_OK);
        EndDialog(IDCANCEL);
        return TRUE;
    }

    const PrinterRecord& r = *m_pRecord;
    m_ipAddress.SetAddress(r.ip[0], r.ip[1], r.ip[2], r.ip[3]);
    m_ipSubnetMask.SetAddress(r.subnetMask[0], r.subnetMask[1], r.subnetMask[2], r.subnetMask[3]);
    m_ipGateway.SetAddress(r.gateway[0], r.gateway[1], r.gateway[2], r.gateway[3]);
    PrinterSettings shown = SettingsFromRecord(r);
    m_nLocalPort = shown.localPort;
    m_nInactivityTime = shown.inactivitySeconds;
    m_strFirmwareVersion = FirmwareVersionText(r);
    m_bDhcpMode = shown.dhcpMode;

    SelectBaudRate(m_cbBaudRate, r.baudRateCode);
    UpdateAddressFields();

    FillPortList(m_cbPort, *this);
    // The port list is sorted, so the match is found by text; exact and case-sensitive, as port
    // names are compared everywhere else (the list's own search ignores case).
    if (m_strAssignedPort != kNotAssigned) {
        for (int item = 0; item < m_cbPort.GetCount(); ++item) {
            if (m_cbPort.GetLBText(item) == m_strAssignedPort) {
                m_cbPort.SetCurSel(item);
                break;
            }
        }
    }
    UpdateData(FALSE);
    return TRUE;
}

BOOL CPrinterConfigDlg::OnCommand(WORD nID, WORD nCode, HWND)
{
    if (nID == IDC_DHCP_MODE && nCode == BN_CLICKED) {
        OnDhcpMode();
        return TRUE;
    }
    return FALSE;
}

void CPrinterConfigDlg::OnDhcpMode()
{
    // The automatic check box has flipped itself already; the member follows without reading it.
    m_bDhcpMode = m_bDhcpMode == 0 ? 1 : 0;
    UpdateAddressFields();
}

void CPrinterConfigDlg::UpdateAddressFields()
{
    // The printer takes its address from DHCP: the fixed address fields do not apply (they are
    // still sent as shown).
    BOOL enable = m_bDhcpMode ? FALSE : TRUE;
    m_ipAddress.EnableWindow(enable);
    m_ipSubnetMask.EnableWindow(enable);
    m_ipGateway.EnableWindow(enable);
}

bool CPrinterConfigDlg::ValuesCanBeSaved()
{
    BYTE ip[4];
    int filled = m_ipAddress.GetAddress(ip[0], ip[1], ip[2], ip[3]);
    switch (CheckSaveValues(filled, m_nLocalPort, m_nInactivityTime)) {
    case SaveProblem::None:
        return true;
    case SaveProblem::NoAddressOrPort:
        AfxMessageBox(kNoAddressOrPort, MB_OK | MB_ICONINFORMATION);
        return false;
    case SaveProblem::LocalPortOutOfRange:
        AfxMessageBox(kLocalPortOutOfRange, MB_OK);
        return false;
    case SaveProblem::InactivityOutOfRange:
        AfxMessageBox(kInactivityOutOfRange, MB_OK);
        return false;
    }
    return false;
}

void CPrinterConfigDlg::OnOK()
{
    if (!m_pRecord)
        return;
    // A field that is not an integer has been reported by the exchange, and the members no longer
    // all hold what the dialog shows: nothing may go out from them.
    if (!UpdateData(TRUE))
        return;
    if (!ValuesCanBeSaved())
        return;
    // Told before sending, so that the acknowledgement, which ends the dialog, comes after it.
    if (m_cbPort.GetLBText(m_cbPort.GetCurSel()).empty()) {
        AfxMessageBox(kNoVirtualPort, MB_OK | MB_ICONINFORMATION);
        // The box's message loop delivers datagrams: an acknowledgement of an earlier Save may have
        // ended the dialog meanwhile, and an ended dialog sends and binds nothing more.
        if (HasEnded())
            return;
    }
    SendSettings();
    // The acknowledgement is not waited for: it ends the dialog whenever it comes.
    SaveAssignment();
}

void CPrinterConfigDlg::SendSettings()
{
    PrinterSettings edited;
    m_ipAddress.GetAddress(edited.ip[0], edited.ip[1], edited.ip[2], edited.ip[3]);
    m_ipSubnetMask.GetAddress(edited.subnetMask[0], edited.subnetMask[1], edited.subnetMask[2], edited.subnetMask[3]);
    m_ipGateway.GetAddress(edited.gateway[0], edited.gateway[1], edited.gateway[2], edited.gateway[3]);
    edited.localPort = m_nLocalPort;
    edited.inactivitySeconds = m_nInactivityTime;
    edited.baudRateIndex = m_cbBaudRate.GetCurSel();
    edited.dhcpMode = m_bDhcpMode;
    // The table keeps the new values whether or not the printer acknowledges them.
    WriteSettingsToRecord(edited, *m_pRecord);

    m_Winsock.SetRemotePort(kPrinterUdpPort);
    m_Winsock.SetRemoteHost(kBroadcastHost);
    m_Winsock.SendData(MakeSettingsDatagram(*m_pRecord));
}

void CPrinterConfigDlg::SaveAssignment()
{
    // The members were pulled and checked by OnOK just before; nothing can have changed since.
    BYTE ip[4];
    m_ipAddress.GetAddress(ip[0], ip[1], ip[2], ip[3]);
    m_strSelectedPort = m_cbPort.GetLBText(m_cbPort.GetCurSel());
    // Without a port there is nothing to bind, and the earlier binding is left as it is rather than
    // leaving the printer with none: the user has been told to add a port and save again.
    if (m_strSelectedPort.empty())
        return;
    std::string failure = BindingFailureText(WritePortBinding(m_strAssignedPort.c_str(), m_strSelectedPort.c_str(),
                                                              NetworkOrderAddress(ip), m_nLocalPort));
    if (!failure.empty()) {
        // The settings have gone to the printer; the user learns where the printer is bound now, as
        // the driver sends a port's data only where its binding says.
        failure += "\r\nThe settings were sent to the printer.";
        AfxMessageBox(failure.c_str(), MB_OK);
    }
}

BOOL CPrinterConfigDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == KWM_DATAARRIVAL && wParam == IDC_WINSOCK) {
        OnDataArrival(static_cast<long>(lParam));
        *pResult = HasEnded() ? 1 : 0;
        return TRUE;
    }
    return FALSE;
}

void CPrinterConfigDlg::OnDataArrival(long bytesTotal)
{
    std::vector<uint8_t> datagram;
    m_Winsock.GetData(datagram, bytesTotal);
    // Any printer's acknowledgement counts; the sender is not checked.
    if (!IsSettingsAck(datagram.data(), datagram.size()))
        return;
    // The box runs its own message loop, in which the next datagram is delivered: one box is enough.
    // Once it has been answered the dialog has ended, but a box of Save may still be up and deliver
    // more: an ended dialog shows nothing more.
    if (m_bAckShown || HasEnded())
        return;
    m_bAckShown = true;
    MessageBox(kSaved, kSavedCaption, MB_OK);
    CDialog::OnOK();
    m_bAckShown = false;
}
