// The completion dialog (dialog 102). Its initialisation installs one device from the INF in the
// current directory and records the uninstaller in the system's list of installed programs; the
// dialog first shows when that is done, with the outcome in its status line.
#pragma once
#include "dialog.h"
#include "install_work.h"

#include <string>

class CInstallDoneDlg : public CDialog {
public:
    CInstallDoneDlg();

    // Status line (static 1000): "Install Success!" once a device is installed, else empty.
    std::string m_strStatus;

    // Writes the uninstall entry (WriteUninstallEntryValues), its version only after an install
    // that succeeded.
    void WriteUninstallEntry();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnPaint() override;
    HICON OnQueryDragIcon() override;

    // InstallFromInf on kvrlancom.INF in the current directory; its outcome.
    int InstallFromCurrentDirectory();

    HICON m_hIcon;
    bool m_bInstalled = false;
};
