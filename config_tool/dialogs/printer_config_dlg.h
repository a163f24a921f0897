// The configuration dialog (132) behind "STEP 2 - Printer Configuration": shows the settings one
// found printer reported, sends the edited ones as "SETT", binds the chosen virtual COM port to the
// printer, and ends with IDOK when a printer answers "SETC".
#pragma once
#include "controls.h"
#include "dialog.h"
#include "../net/winsock_control.h"
#include "../printers/printer_record.h"

#include <cstdint>
#include <string>

// Selects the Baudrate list item of a record's baud-rate code; a code not in the table leaves the
// list's selection as it is.
void SelectBaudRate(CComboBox& list, uint8_t code);

class CPrinterConfigDlg : public CDialog {
public:
    explicit CPrinterConfigDlg(CWnd* pParent = nullptr);

    // The port the main window showed as bound to this printer: a port name or "Not Assigned".
    std::string m_strAssignedPort;
    // The PORT list's selected text, taken when the binding is written.
    std::string m_strSelectedPort;
    // The printer's record in the printer table; the table owns it.
    PrinterRecord* m_pRecord;
    // 1-based position of the printer in the printer table.
    int m_nPrinterNo;
    CComboBox m_cbPort;
    CIPAddressCtrl m_ipSubnetMask;
    CComboBox m_cbBaudRate;
    CIPAddressCtrl m_ipGateway;
    CIPAddressCtrl m_ipAddress;
    int m_nInactivityTime;
    int m_nLocalPort;
    std::string m_strFirmwareVersion;
    BOOL m_bDhcpMode;
    CMSWinsockControl m_Winsock;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WORD nID, WORD nCode, HWND hCtl) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void OnDhcpMode();
    void OnDataArrival(long bytesTotal);
    void UpdateAddressFields();
    // Writes the edited values into the printer's record and broadcasts them as "SETT".
    void SendSettings();
    // Replaces this printer's earlier binding by the chosen port's.
    void SaveAssignment();

private:
    // False, after telling the user why, when the values cannot be saved as they stand.
    bool ValuesCanBeSaved();

    // True while the success box of one acknowledgement is up: further "SETC" that arrive meanwhile
    // must not open a second box or end the dialog twice.
    bool m_bAckShown;
};
