#include "uninstall_dlg.h"

#include "app.h"
#include "device_setup.h"
#include "handles.h"
#include "minimized_icon.h"
#include "msgbox.h"
#include "res/resource.h"
#include "uninstall_steps.h"

#include <string>

CUninstallDlg::CUninstallDlg()
    : CDialog(IDD_KVRLANCOM_UNINSTALLER_DIALOG)
{
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

BOOL CUninstallDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    return TRUE;
}

void CUninstallDlg::OnOK()
{
    // Every step runs whatever the earlier ones achieved; none reports a failure.
    RemoveDevicesByHardwareId();

    // Paths under the Windows directory are formed only when it was read whole.
    char windowsDirectory[260];
    UINT length = ::GetWindowsDirectoryA(windowsDirectory, 255);
    const bool haveWindowsDirectory = length > 0 && length < 255;

    if (haveWindowsDirectory) {
        DeleteDriverInfCopy(windowsDirectory);
        DeleteDriverFile(windowsDirectory);
    }
    DeletePackageKeys();
    if (haveWindowsDirectory) {
        DeletePackageFiles(windowsDirectory);
        RemoveStartMenuItems(windowsDirectory);
    }

    std::string prompt = std::string(kRestartPromptReason) + kRestartPromptChoices;
    if (AfxMessageBox(prompt.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES)
        RestartComputer();
    CDialog::OnOK();
}

BOOL CUninstallDlg::RestartComputer()
{
    UniqueKernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        return FALSE;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    ::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    ::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    // Also set when the call "succeeds" without assigning the privilege (ERROR_NOT_ALL_ASSIGNED).
    DWORD adjustError = ::GetLastError();
    if (adjustError != ERROR_SUCCESS)
        return FALSE;
    // Not EWX_FORCE: that closes every program without letting it save its data. Programs are
    // asked to close, and only those that do not answer are forced.
    return StartShutdown(EWX_REBOOT | EWX_FORCEIFHUNG, 0);
}

BOOL CUninstallDlg::StartShutdown(UINT flags, DWORD reason)
{
    return ::ExitWindowsEx(flags, reason);
}

BOOL CUninstallDlg::OnPaint()
{
    return PaintMinimizedIcon(*this, m_hIcon);
}

HICON CUninstallDlg::OnQueryDragIcon()
{
    return m_hIcon;
}
