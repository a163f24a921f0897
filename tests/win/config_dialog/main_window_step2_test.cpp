// "STEP 2 - Printer Configuration" from the main window: the chosen row goes to the configuration
// dialog, and a saved configuration is followed, two seconds later, by a new search whose list shows
// the printer's new settings and its port.
#include "main_window_runner.h"
#include "printer_records.h"
#include "sim_peer.h"
#include "store_fixture.h"

#include "printers/printer_rows.h"
#include "store/port_binding.h"
#include "printers/printer_table.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {
// The simulator's printer that acknowledges, as its search reply reports it.
PrinterRecord ReportedPrinter()
{
    return MakeRecord(0x5F, 10, 515, 0x10);
}

int RowOfMac(CListCtrl& list, const char* mac)
{
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (list.GetItemText(row, 1) == mac)
            return row;
    return -1;
}
}

TEST(MainWindowStep2, CancelEndsThereAndASaveIsFollowedByANewSearch)
{
    if (!PrinterSimulatorRunning())
        GTEST_SKIP() << "needs the printer simulator (run inside tools/netns-run.sh)";
    ClearPortsAndStore();
    AddPortDevice("0000", "COM3");
    AddPortDevice("0001", "COM4");
    ClearPrinterTable();
    AddPrinterRecord(ReportedPrinter());

    MainWindowRunner window([](MainWindowRunner& w) {
        w.FillPrinterList();
        w.SelectRow(0);
        ASSERT_EQ(w.m_nSelected, 1);

        // Cancel: no wait, no search.
        std::thread cancel([] {
            HWND dlg = WaitForDialog("Printer Configuration Setup");
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(ComboSelectedText(dlg, IDC_PORT_LIST), "COM3");  // "Not Assigned": the first port
            ClickButton(dlg, IDCANCEL);
        });
        DWORD start = ::GetTickCount();
        w.Press(IDC_CONFIGURE);
        cancel.join();
        EXPECT_LT(::GetTickCount() - start, 1500u);
        EXPECT_EQ(w.m_lstPrinters.GetItemCount(), 1);

        DWORD searchOpenedAfterMs = 0;
        std::thread save([&] {
            HWND dlg = WaitForDialog("Printer Configuration Setup");
            ASSERT_NE(dlg, nullptr);
            SetFieldText(dlg, IDC_LOCAL_PORT, "9100");
            ClickButton(dlg, IDOK);
            EXPECT_EQ(AnswerMessageBox(IDOK).text, "Succeeded to save information!");
            DWORD answered = ::GetTickCount();
            EXPECT_NE(WaitForDialog("Searching...", 5000), nullptr);
            searchOpenedAfterMs = ::GetTickCount() - answered;
        });
        w.Press(IDC_CONFIGURE);
        save.join();
        EXPECT_GE(searchOpenedAfterMs, 1900u);

        // Both simulated printers answered the new search; ours with its new port, bound to COM3.
        EXPECT_EQ(w.m_lstPrinters.GetItemCount(), 2);
        int row = RowOfMac(w.m_lstPrinters, "00:1a:2b:3d:4e:5f");
        ASSERT_GE(row, 0);
        EXPECT_EQ(w.m_lstPrinters.GetItemText(row, 2), "192.168.0.10");
        EXPECT_EQ(w.m_lstPrinters.GetItemText(row, 3), "9100");
        EXPECT_EQ(w.m_lstPrinters.GetItemText(row, kColumnAssignInfo), "COM3");
    });
    window.Run();
    ClearPortsAndStore();
    ClearPrinterTable();
}
