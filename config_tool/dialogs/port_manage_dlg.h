// The port management dialog (134): lists the system's root-enumerated COM ports, adds one more
// virtual port device of the driver package ("Add Port") and removes all of them ("Delete All Port").
// It binds nothing to printers; the port bindings stay as they are.
#pragma once
#include "controls.h"
#include "dialog.h"

// The program a 32-bit tool on 64-bit Windows names for adding and deleting ports.
constexpr const char kConfigToolProgram[] = "kvrconfig.exe";

class CPortManageDlg : public CDialog {
public:
    CPortManageDlg();

    // Port list (control 1014), a sorted drop-down list for display only: nothing reads its selection.
    CComboBox m_cbPorts;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD nID, WORD nCode, HWND hCtl) override;

    // Installs one virtual port from kvrlancom.INF in the current directory, says so when it worked,
    // and refills the list whatever the outcome.
    void OnAddPort();
    // Removes every device of the driver package ("Remove Error" for each one that stays), then
    // refills the list. No confirmation before and no message after.
    void OnDeleteAllPort();
    // A 32-bit tool on 64-bit Windows cannot create or remove devices: true after telling the user
    // which program to run instead.
    bool RefusedAsWow64(const char* operation);
    // Empties the list and fills it again from the device registry.
    void RefillPortList();
};
