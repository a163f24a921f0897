#include "install_done_dlg.h"

#include "app.h"
#include "device_setup.h"
#include "device_setup_report.h"
#include "driver_package.h"
#include "handles.h"
#include "minimized_icon.h"
#include "path_format.h"
#include "res/resource.h"

namespace {
constexpr const char kInstallSuccess[] = "Install Success!";

// A REG_SZ value, its terminating NUL counted in the size.
void SetStringValue(HKEY key, const char* name, const char* text)
{
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     static_cast<DWORD>(::lstrlenA(text) + 1));
}
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
    if (InstallFromCurrentDirectory() != INSTALL_FAILED)
        m_strStatus = kInstallSuccess;
    UpdateData(FALSE);

    // Written whatever the outcome, so the uninstaller can always be found.
    WriteUninstallEntry();
    return TRUE;
}

int CInstallDoneDlg::InstallFromCurrentDirectory()
{
    char currentDirectory[260];
    DWORD length = ::GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
    DWORD readError = ::GetLastError();
    char infPath[MAX_PATH];
    if (length == 0 || length >= sizeof currentDirectory ||
        !FormatPath(infPath, "%s\\%s", currentDirectory, kDriverInfName)) {
        // No path to the INF can be formed here: the INF is not found, and the user is told what a
        // file search reports for a name too long.
        ReportInfNotFound(length == 0 ? readError : ERROR_FILENAME_EXCED_RANGE);
        return INSTALL_FAILED;
    }
    return InstallFromInf(infPath, kDriverHardwareId);
}

void CInstallDoneDlg::WriteUninstallEntry()
{
    UniqueHKey entry;
    if (OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) {
        UniqueHKey created;
        CreateRegKey(created, HKEY_LOCAL_MACHINE, kUninstallEntryKey);
        OpenRegKey(entry, HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_READ | KEY_WRITE);
    }
    if (!entry)
        return;
    SetStringValue(entry.Get(), "DisplayName", kUninstallDisplayName);

    char windowsDirectory[256];
    UINT length = ::GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    char uninstallString[MAX_PATH];
    if (length > 0 && length < sizeof windowsDirectory &&
        FormatPath(uninstallString, "%s%s", windowsDirectory, kUninstallerInPackageFolder))
        SetStringValue(entry.Get(), "UninstallString", uninstallString);
}

BOOL CInstallDoneDlg::OnPaint()
{
    return PaintMinimizedIcon(*this, m_hIcon);
}

HICON CInstallDoneDlg::OnQueryDragIcon()
{
    return m_hIcon;
}
