#include "install_done_dlg.h"

#include "app.h"
#include "device_setup.h"
#include "device_setup_report.h"
#include "driver_package.h"
#include "handles.h"
#include "minimized_icon.h"
#include "msgbox.h"
#include "wow64.h"
#include "res/resource.h"

namespace {
constexpr const char kInstallSuccess[] = "Install Success!";
}

CInstallDoneDlg::CInstallDoneDlg()
    : CDialog(IDD_KVRLANCOM_INSTALLER_DIALOG)
{
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CInstallDoneDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_STATUS, m_strStatus);
}

BOOL CInstallDoneDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // INSTALL_OK and INSTALL_REBOOT read alike: the installer offers no restart.
    m_bInstalled = InstallFromCurrentDirectory() != INSTALL_FAILED;
    if (m_bInstalled)
        m_strStatus = kInstallSuccess;
    UpdateData(FALSE);

    // Written whatever the outcome, so the uninstaller can always be found.
    WriteUninstallEntry();
    return TRUE;
}

int CInstallDoneDlg::InstallFromCurrentDirectory()
{
    // A 32-bit installer on 64-bit Windows would be refused by the platform without a word.
    if (RunsUnderWow64()) {
        AfxMessageBox(InstallerWow64Refusal().c_str(), MB_OK);
        return INSTALL_FAILED;
    }
    char infPath[MAX_PATH];
    DWORD error = ERROR_SUCCESS;
    if (!CurrentDirectoryInfPath(infPath, &error)) {
        // No path to the INF can be formed here: the INF is not found, and the user is told what a
        // file search reports.
        ReportInfNotFound(error);
        return INSTALL_FAILED;
    }
    return InstallFromInf(infPath, kDriverHardwareId);
}

void CInstallDoneDlg::WriteUninstallEntry()
{
    WriteUninstallEntryValues(m_bInstalled);
}

BOOL CInstallDoneDlg::OnPaint()
{
    return PaintMinimizedIcon(*this, m_hIcon);
}

HICON CInstallDoneDlg::OnQueryDragIcon()
{
    return m_hIcon;
}
