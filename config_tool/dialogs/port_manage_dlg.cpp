#include "port_manage_dlg.h"

#include "device_setup.h"
#include "driver_package.h"
#include "msgbox.h"
#include "../res/resource.h"
#include "port_combo.h"
#include "wow64.h"

#include <string>

CPortManageDlg::CPortManageDlg()
    : CDialog(IDD_PORT_MANAGE_DIALOG)
{
}

void CPortManageDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PORT_LIST, m_cbPorts);
}

BOOL CPortManageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    RefillPortList();
    return TRUE;
}

BOOL CPortManageDlg::OnCommand(WORD nID, WORD nCode, HWND)
{
    if (nCode != BN_CLICKED)
        return FALSE;
    switch (nID) {
    case IDC_ADD_PORT: OnAddPort(); return TRUE;
    case IDC_DELETE_ALL_PORT: OnDeleteAllPort(); return TRUE;
    default: return FALSE;
    }
}

void CPortManageDlg::OnAddPort()
{
    if (RefusedAsWow64("add a virtual port"))
        return;
    // The INF is taken from the process's current directory, never from the program's folder.
    char directory[MAX_PATH] = {0};
    DWORD length = ::GetCurrentDirectoryA(MAX_PATH, directory);
    // A directory that cannot be read (or does not fit) holds no INF we could name: nothing is
    // installed, and as for a missing INF nothing is shown.
    if (length != 0 && length < MAX_PATH) {
        std::string infPath = std::string(directory, length) + "\\" + kDriverInfName;
        switch (InstallFromInf(infPath, kDriverHardwareId)) {
        case INSTALL_OK:
            AfxMessageBox("Add port Success!", MB_OK);
            break;
        case INSTALL_REBOOT:
            AfxMessageBox("Reboot Required! -> Reset and Again Add Port", MB_OK);
            break;
        default:
            break;
        }
    }
    RefillPortList();
}

void CPortManageDlg::OnDeleteAllPort()
{
    if (RefusedAsWow64("delete the virtual ports"))
        return;
    RemoveDevicesByHardwareId();
    RefillPortList();
}

bool CPortManageDlg::RefusedAsWow64(const char* operation)
{
    // The platform refuses device setup to a 32-bit program on 64-bit Windows, silently.
    if (!RunsUnderWow64())
        return false;
    AfxMessageBox(Wow64DeviceRefusal(operation, kConfigToolProgram).c_str(), MB_OK);
    return true;
}

void CPortManageDlg::RefillPortList()
{
    m_cbPorts.ResetContent();
    FillPortList(m_cbPorts, *this);
}
