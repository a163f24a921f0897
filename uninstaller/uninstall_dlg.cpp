#include "uninstall_dlg.h"

#include "app.h"
#include "handles.h"
#include "minimized_icon.h"
#include "msgbox.h"
#include "res/resource.h"
#include "remove_package.h"
#include "wow64.h"

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
    // A 32-bit uninstaller on 64-bit Windows says so before the device step it must leave out.
    const bool withDevices = !RunsUnderWow64();
    if (!withDevices)
        AfxMessageBox(UninstallerWow64Refusal().c_str(), MB_OK);
    RemovePackage(withDevices);

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
