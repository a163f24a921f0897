// The restart the uninstaller asks the system for, with the system's shutdown call replaced by a
// recorder: the flags that let programs save their data, and only after Yes.
#include "dialog_runner.h"
#include "program_run.h"
#include "uninstall_dlg.h"

#include <gtest/gtest.h>

namespace {
struct ShutdownCall {
    UINT flags;
    DWORD reason;
};

class RecordingUninstallDlg : public CUninstallDlg {
public:
    std::vector<ShutdownCall> calls;

protected:
    BOOL StartShutdown(UINT flags, DWORD reason) override
    {
        calls.push_back({flags, reason});
        return TRUE;
    }
};

class ScriptedUninstallDlg : public Scripted<ScriptedUninstallDlg, RecordingUninstallDlg> {
public:
    explicit ScriptedUninstallDlg(Body body) : Scripted(std::move(body)) {}
};
}

TEST(UninstallerRestart, AsksForARestartInWhichProgramsMaySave)
{
    RecordingUninstallDlg dlg;
    EXPECT_TRUE(dlg.RestartComputer());
    ASSERT_EQ(dlg.calls.size(), 1u);
    EXPECT_EQ(dlg.calls[0].flags, static_cast<UINT>(EWX_REBOOT | EWX_FORCEIFHUNG));
    EXPECT_EQ(dlg.calls[0].flags & EWX_FORCE, 0u);
    EXPECT_EQ(dlg.calls[0].reason, 0u);
}

TEST(UninstallerRestart, OnlyYesToThePromptRestarts)
{
    // The whole sequence runs in this prefix, where nothing of the package is installed.
    for (int answer : {IDNO, IDYES}) {
        MessageBoxInfo prompt;
        ScriptedUninstallDlg dlg([&](ScriptedUninstallDlg& d) {
            auto box = std::async(std::launch::async, [&] {
                HWND shown = WaitForOwnedMessageBox(d.m_hWnd, 60000);
                if (shown && ReadMessageBox(shown, prompt))
                    PressMessageBoxButton(shown, answer);
            });
            d.Press(IDOK);
            box.get();
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(prompt.text, std::string(kRestartPromptReason) + kRestartPromptChoices);
        EXPECT_EQ(dlg.calls.size(), answer == IDYES ? 1u : 0u);
    }
}
