// The main window as a real modal dialog: start state, the guard, selection tracking, the list.
#include "main_window_runner.h"
#include "printer_records.h"
#include "app/startup.h"
#include "store_fixture.h"
#include "printers/printer_rows.h"
#include "store/port_binding.h"
#include "printers/printer_table.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
// Printer macEnd at 192.168.0.<macEnd>; with ip0 0 it has no address configured.
PrinterRecord Printer(uint8_t macEnd, uint8_t ip0)
{
    PrinterRecord r = MakeRecord(macEnd, macEnd);
    r.ip[0] = ip0;
    return r;
}
}

TEST(MainWindow, OpensEmptyAndEveryGuardedCommandAsksForARow)
{
    ClearPrinterTable();
    std::vector<MessageBoxInfo> boxes;
    int rows = -1, columns = -1, selected = 0;
    MainWindowRunner dlg([&](MainWindowRunner& w) {
        rows = w.m_lstPrinters.GetItemCount();
        columns = static_cast<int>(::SendMessageA(reinterpret_cast<HWND>(w.m_lstPrinters.SendMessage(LVM_GETHEADER)), HDM_GETITEMCOUNT, 0, 0));
        selected = w.m_nSelected;
        for (int id : {IDC_CONFIGURE, IDC_TEST_PRINT, IDC_DETACH_PORT, IDC_FIRMWARE_UPLOAD}) {
            auto answer = AnswerNextMessageBox(IDOK);
            w.Press(id);
            boxes.push_back(answer.get());
        }
    });
    dlg.Run();
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(columns, 5);
    EXPECT_EQ(selected, -1);
    ASSERT_EQ(boxes.size(), 4u);
    for (const MessageBoxInfo& box : boxes) {
        EXPECT_EQ(box.text, "Select mac address at list");
        EXPECT_EQ(box.caption, "config_tool_tests");
        EXPECT_EQ(box.icon, "exclamation");
        ASSERT_EQ(box.buttons.size(), 1u);
        EXPECT_EQ(box.buttons[0].id, IDOK);
    }
}

TEST(MainWindow, ListRowsShowTheTableAndHeadersAreAsLaidOut)
{
    ClearPrinterTable();
    AddPrinterRecord(Printer(0x5F, 192));
    AddPrinterRecord(Printer(0x60, 0));
    AddPrinterRecord(Printer(0x5F, 192));  // the same printer answering twice
    std::vector<std::vector<std::string>> cells;
    std::vector<std::pair<std::string, int>> headers;
    MainWindowRunner dlg([&](MainWindowRunner& w) {
        w.FillPrinterList();
        for (int row = 0; row < w.m_lstPrinters.GetItemCount(); ++row) {
            cells.emplace_back();
            for (int col = 0; col < 5; ++col)
                cells.back().push_back(w.m_lstPrinters.GetItemText(row, col));
        }
        for (int col = 0; col < 5; ++col) {
            char text[64] = {0};
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = text;
            column.cchTextMax = sizeof text;
            w.m_lstPrinters.SendMessage(LVM_GETCOLUMNA, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&column));
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER) << col;
            headers.emplace_back(text, column.cx);
        }
        DWORD ex = static_cast<DWORD>(w.m_lstPrinters.SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
        EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
        EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
        ClearPrinterTable();
        w.FillPrinterList();
        EXPECT_EQ(w.m_lstPrinters.GetItemCount(), 0);  // an empty table empties the list
    });
    dlg.Run();
    const std::vector<std::pair<std::string, int>> expectedHeaders = {
        {"No", 25}, {"Mac Address", 110}, {"IP Address", 110}, {"Port", 57}, {"Assign Info", 80}};
    EXPECT_EQ(headers, expectedHeaders);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], (std::vector<std::string>{"1", "00:1a:2b:3d:4e:5f", "192.168.0.95", "515", "Not Assigned"}));
    EXPECT_EQ(cells[1], (std::vector<std::string>{"2", "00:1a:2b:3d:4e:60", "Not Configuration", "515", "Not Assigned"}));
    EXPECT_EQ(cells[2][0], "3");
    EXPECT_EQ(cells[2][1], "00:1a:2b:3d:4e:5f");
}

TEST(MainWindow, TheRowWhoseStateChangedLastIsTheChosenOne)
{
    ClearPrinterTable();
    for (uint8_t i = 1; i <= 5; ++i)
        AddPrinterRecord(Printer(i, 192));
    std::vector<int> seen;
    MainWindowRunner dlg([&](MainWindowRunner& w) {
        w.FillPrinterList();
        w.m_nSelected = -1;  // whatever filling the list did, start from no choice
        w.SetRowSelected(1, true);   // row "2"
        seen.push_back(w.m_nSelected);
        w.SetRowSelected(4, true);   // then row "5"
        seen.push_back(w.m_nSelected);
        w.SetRowSelected(2, true);   // row "3" chosen,
        w.SetRowSelected(0, true);   // then row "1",
        w.SetRowSelected(2, false);  // then row "3" loses its selection: it changed last
        seen.push_back(w.m_nSelected);
        ClearPrinterTable();
        w.FillPrinterList();  // a search that found nothing: the chosen printer is gone
        seen.push_back(w.m_nSelected);
    });
    dlg.Run();
    EXPECT_EQ(seen, (std::vector<int>{2, 5, 3, -1}));
}

TEST(MainWindow, TheChosenPrinterStaysChosenWhereverTheNextSearchListsIt)
{
    ClearPrinterTable();
    for (uint8_t i = 1; i <= 3; ++i)
        AddPrinterRecord(Printer(i, 192));
    int afterReorder = 0, afterGone = 0;
    std::string highlighted;
    std::vector<std::string> guard;
    MainWindowRunner dlg([&](MainWindowRunner& w) {
        w.FillPrinterList();
        w.SelectRow(1);  // printer ...:02, "No" 2
        // The next search hears the printers in another order.
        ClearPrinterTable();
        for (uint8_t i : {3, 1, 2})
            AddPrinterRecord(Printer(i, 192));
        w.FillPrinterList();
        afterReorder = w.m_nSelected;
        int row = static_cast<int>(w.m_lstPrinters.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        highlighted = w.m_lstPrinters.GetItemText(row, kColumnMac);
        // Then a search in which it does not answer: nothing is chosen, and the guard applies.
        ClearPrinterTable();
        AddPrinterRecord(Printer(3, 192));
        w.FillPrinterList();
        afterGone = w.m_nSelected;
        auto box = AnswerNextMessageBox(IDOK);
        w.Press(IDC_DETACH_PORT);
        guard.push_back(box.get().text);
    });
    dlg.Run();
    EXPECT_EQ(afterReorder, 3);
    EXPECT_EQ(highlighted, "00:1a:2b:3d:4e:02");
    EXPECT_EQ(afterGone, -1);
    EXPECT_EQ(guard, (std::vector<std::string>{"Select mac address at list"}));
}

TEST(MainWindow, EachFillReadsTheStoreAfresh)
{
    ClearPortsAndStore();
    ClearPrinterTable();
    AddPrinterRecord(Printer(1, 192));
    std::vector<std::string> cells;
    MainWindowRunner dlg([&](MainWindowRunner& w) {
        w.FillPrinterList();
        cells.push_back(w.m_lstPrinters.GetItemText(0, kColumnAssignInfo));
        const BYTE ip[4] = {192, 168, 0, 1};
        WriteBinding("COM4", ip, 515);  // bound after that search
        w.FillPrinterList();
        cells.push_back(w.m_lstPrinters.GetItemText(0, kColumnAssignInfo));
    });
    dlg.Run();
    ClearPortsAndStore();
    EXPECT_EQ(cells, (std::vector<std::string>{"Not Assigned", "COM4"}));
}

TEST(MainWindow, StartUpFailureNamesTheSocketLayersOwnResult)
{
    // Version 0.0 is one no socket layer offers: WSAStartup itself says so (WSAVERNOTSUPPORTED).
    auto box = AnswerNextMessageBox(IDOK);
    EXPECT_FALSE(StartSocketLayer(MAKEWORD(0, 0)));
    MessageBoxInfo info = box.get();
    EXPECT_EQ(info.text.rfind("Error : Failure to create Socket Object! : 10092, ", 0), 0u) << info.text;
    EXPECT_EQ(info.caption, "config_tool_tests");
}

TEST(MainWindow, OpensCentredOnTheScreenAndItsDialogsCentredOnIt)
{
    RECT main = {}, inner = {}, area = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    MainWindowRunner dlg([&](MainWindowRunner& w) {
        ::GetWindowRect(w.m_hWnd, &main);
        ScriptedDialog owned(IDD_PORT_MANAGE_DIALOG, [&](ScriptedDialog& d) { ::GetWindowRect(d.m_hWnd, &inner); }, &w);
        owned.DoModal();
    });
    dlg.Run();
    auto centreX = [](const RECT& r) { return (r.left + r.right) / 2; };
    auto centreY = [](const RECT& r) { return (r.top + r.bottom) / 2; };
    EXPECT_NEAR(centreX(main), centreX(area), 1);
    EXPECT_NEAR(centreY(main), centreY(area), 1);
    EXPECT_NEAR(centreX(inner), centreX(main), 1);
    EXPECT_NEAR(centreY(inner), centreY(main), 1);
}
