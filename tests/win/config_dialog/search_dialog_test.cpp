// The search dialog (130) worked by ticks the test sends, not by the clock: the dialog's own timer
// is stopped once it has opened, so every tick is one of the test's.
#include "config_dialog_runner.h"
#include "dialog_runner.h"
#include "printer_records.h"
#include "sim_peer.h"

#include "dialogs/search_dlg.h"
#include "printers/printer_table.h"

#include <gtest/gtest.h>

namespace {
class SearchUnderTest : public Scripted<SearchUnderTest, CSearchDlg> {
public:
    explicit SearchUnderTest(Body body) : Scripted(std::move(body)) {}
    using CSearchDlg::m_nFound;
    using CSearchDlg::m_nRemainMs;

    void Tick() { SendMessage(WM_TIMER, 1000, 0); }
    // Runs the dialog's messages until pred holds or timeoutMs has passed.
    template <class Pred>
    bool PumpUntil(Pred pred, DWORD timeoutMs = 3000)
    {
        DWORD start = ::GetTickCount();
        while (!pred() && ::GetTickCount() - start < timeoutMs) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            ::Sleep(5);
        }
        return pred();
    }
};

std::string ReplyOf(const PrinterRecord& record)
{
    std::string reply = "IMIN";
    reply.append(reinterpret_cast<const char*>(&record), sizeof record);
    return reply;
}
}

TEST(SearchDialog, ARepliesBetweenTheLastTwoTicksCountsAndOnlyTheTimeOutOrCancelEndsIt)
{
    if (!PrinterSimulatorRunning())
        GTEST_SKIP() << "needs the private network (run inside tools/netns-run.sh)";
    StartUpLikeTheTool();
    ClearPrinterTable();
    bool foreignTickLeftToDefault = false;
    bool openAfterEnter = false, openAfterTick30 = false, endedAfterTick31 = false, counted = false;
    int remainAfter30 = 0, foundBefore = 0;
    SearchUnderTest dialog([&](SearchUnderTest& d) {
        d.KillTimer(1000);
        // Enter, with the focus on the counter: the dialog manager's IDOK.
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        openAfterEnter = !d.HasEnded();
        // Another timer's tick is left to the default handling: the dialog procedure says it did
        // not handle it.
        auto proc = reinterpret_cast<DLGPROC>(::GetWindowLongPtrA(d.m_hWnd, DWLP_DLGPROC));
        foreignTickLeftToDefault = proc(d.m_hWnd, WM_TIMER, 77, 0) == FALSE;
        for (int tick = 1; tick <= 30; ++tick)
            d.Tick();
        remainAfter30 = d.m_nRemainMs;
        openAfterTick30 = !d.HasEnded();
        // The simulated printers answer the dialog's own request meanwhile; this reply comes last.
        d.PumpUntil([] { return false; }, 500);
        foundBefore = d.m_nFound;
        SendToToolPort(ReplyOf(MakeRecord(0x77, 77)));
        counted = d.PumpUntil([&] { return d.m_nFound == foundBefore + 1; });
        d.Tick();
        endedAfterTick31 = d.HasEnded();
        d.m_closedByBody = true;
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_TRUE(foreignTickLeftToDefault);
    EXPECT_EQ(remainAfter30, 0);
    EXPECT_TRUE(openAfterTick30);
    EXPECT_TRUE(counted);
    EXPECT_TRUE(endedAfterTick31);
    ASSERT_NE(GetPrinterRecord(foundBefore + 1), nullptr);
    EXPECT_EQ(RecordBytes(*GetPrinterRecord(foundBefore + 1)), RecordBytes(MakeRecord(0x77, 77)));
    EXPECT_EQ(GetPrinterRecord(foundBefore + 2), nullptr);
}

TEST(SearchDialog, PastItsTimeTheFirstTickOrReplyEndsItWhateverTheirCount)
{
    if (!PrinterSimulatorRunning())
        GTEST_SKIP() << "needs the private network (run inside tools/netns-run.sh)";
    StartUpLikeTheTool();
    // Ticks held back by the flood they queue behind: one late tick ends it, one reply ends it.
    bool endedByOneTick = false, endedByAReply = false;
    SearchUnderTest byTick([&](SearchUnderTest& d) {
        d.KillTimer(1000);
        ::Sleep(3200);
        d.Tick();
        endedByOneTick = d.HasEnded();
    });
    byTick.DoModal();
    SearchUnderTest byReply([&](SearchUnderTest& d) {
        d.KillTimer(1000);
        ::Sleep(3200);
        SendToToolPort(ReplyOf(MakeRecord(0x78, 78)));
        endedByAReply = d.PumpUntil([&] { return d.HasEnded(); }, 2000);
    });
    byReply.DoModal();
    EXPECT_TRUE(endedByOneTick);
    EXPECT_TRUE(endedByAReply);
}

TEST(SearchDialog, AReplyTheFullTableRefusesIsNotCounted)
{
    if (!PrinterSimulatorRunning())
        GTEST_SKIP() << "needs the private network (run inside tools/netns-run.sh)";
    StartUpLikeTheTool();
    int found = -1;
    SearchUnderTest dialog([&](SearchUnderTest& d) {
        d.KillTimer(1000);
        const int before = d.m_nFound;
        while (AddPrinterRecord(MakeRecord(0x01, 1))) {
        }
        SendToToolPort(ReplyOf(MakeRecord(0x79, 79)));
        d.PumpUntil([] { return false; }, 500);
        found = d.m_nFound - before;
        d.Close(IDCANCEL);
    });
    dialog.DoModal();
    ClearPrinterTable();
    EXPECT_EQ(found, 0);
}
