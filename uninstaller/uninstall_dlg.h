// The confirmation dialog (dialog 102). OK removes the package (devices, the system's copy of the
// INF, the driver file, the registry keys, the package folder's files, the start-menu items) and
// then offers a restart; Cancel, Escape and the close box end it with nothing removed.
#pragma once
#include "dialog.h"

// The restart prompt, in two pieces shown as one text.
constexpr const char kRestartPromptReason[] = "Restart the computr can take effect. \nPlease restart the computer.";
constexpr const char kRestartPromptChoices[] =
    "\n\n[Yes] I want to restart my computer now.\n[No] I will restart my computer later.";

class CUninstallDlg : public CDialog {
public:
    CUninstallDlg();

    // Enables the shutdown privilege and asks the system for a restart in which programs may still
    // save their data (only hung ones are forced closed). TRUE when the restart was started.
    BOOL RestartComputer();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnPaint() override;
    HICON OnQueryDragIcon() override;

    // The system's shutdown call (ExitWindowsEx); tests put a recorder in its place.
    virtual BOOL StartShutdown(UINT flags, DWORD reason);

    HICON m_hIcon;
};
