// "STEP 3 - Test Print" and "Detach the assigned port" on the real main window: the bytes that reach
// the bound COM port, each message, and the binding that detach removes. COM3 and COM10 are
// pseudo-terminals captured by with_com_ports.sh; COM8 has no device.
#include "main_window_runner.h"
#include "printer_records.h"
#include "sim_peer.h"
#include "store_fixture.h"

#include "actions/port_actions.h"
#include "actions/test_page.h"
#include "handles.h"
#include "dialog_runner.h"
#include "printers/printer_rows.h"
#include "store/assignment_store.h"
#include "store/port_binding.h"
#include "printers/printer_table.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
void Bind(const char* port, uint8_t last)
{
    const BYTE ip[4] = {192, 168, 0, last};
    WriteBinding(port, ip, 515);
}

bool PortsCaptured()
{
    const char* dir = std::getenv("KVR_COM_CAPTURE");
    return dir && *dir;
}

// Everything written to the port so far (its pseudo-terminal's far end).
std::string Captured(const char* port)
{
    const char* dir = std::getenv("KVR_COM_CAPTURE");
    std::string text;
    if (!dir)
        return text;
    FILE* file = std::fopen(WinePathOf(std::string(dir) + "/captured-" + port + ".bin").c_str(), "rb");
    if (!file)
        return text;
    char chunk[1024];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, n);
    std::fclose(file);
    return text;
}

// What reaches the port from now on (the capture outlives one test when the program runs them all).
class PortCapture {
public:
    explicit PortCapture(const char* port) : m_port(port), m_start(Captured(port).size()) {}
    // Waits until at least size new bytes have arrived, then a little longer for any that should not.
    std::string WaitForNew(size_t size, DWORD timeoutMs = 3000) const
    {
        DWORD start = ::GetTickCount();
        while (New().size() < size && ::GetTickCount() - start < timeoutMs)
            ::Sleep(10);
        ::Sleep(100);
        return New();
    }

private:
    std::string New() const { return Captured(m_port).substr(m_start); }
    const char* m_port;
    size_t m_start;
};

std::string Page(const char* port)
{
    TestPage page;
    std::string bytes;
    if (BuildTestPage(port, page))
        for (const auto& block : page)
            bytes.append(block.begin(), block.end());
    return bytes;
}

// Presses a button of the main window and returns the message box it showed (answered with OK).
MessageBoxInfo PressAndAnswer(MainWindowRunner& w, int id)
{
    auto box = AnswerNextMessageBox(IDOK, 3000);
    w.Press(id);
    return box.get();
}

class PortActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PortsCaptured())
            GTEST_SKIP() << "needs the captured COM ports of with_com_ports.sh";
        ClearPortsAndStore();
        ClearPrinterTable();
        AddPrinterRecord(MakeRecord(10, 10));
        AddPrinterRecord(MakeRecord(11, 11));
        AddPrinterRecord(MakeRecord(12, 12));
    }
    void TearDown() override
    {
        ClearPortsAndStore();
        ClearPrinterTable();
    }
};
}

TEST_F(PortActions, TestPrintWritesTheWholePageThroughTheBoundPort)
{
    Bind("COM3", 10);
    Bind("COM10", 11);
    PortCapture com3("com3"), com10("com10");
    std::vector<std::string> cells;
    std::vector<MessageBoxInfo> boxes;
    MainWindowRunner window([&](MainWindowRunner& w) {
        w.FillPrinterList();
        for (int row = 0; row < 3; ++row)
            cells.push_back(w.m_lstPrinters.GetItemText(row, kColumnAssignInfo));
        w.SelectRow(0);
        boxes.push_back(PressAndAnswer(w, IDC_TEST_PRINT));
        w.SelectRow(1);
        boxes.push_back(PressAndAnswer(w, IDC_TEST_PRINT));
    });
    window.Run();
    EXPECT_EQ(cells, (std::vector<std::string>{"COM3", "COM10", "Not Assigned"}));
    ASSERT_EQ(boxes.size(), 2u);
    for (const MessageBoxInfo& box : boxes) {
        EXPECT_EQ(box.text, "Printer Test Success!!!");
        EXPECT_EQ(box.icon, "exclamation");
        EXPECT_EQ(box.caption, "port_actions_tests");
    }

    std::string page = com3.WaitForNew(195);
    ASSERT_EQ(page.size(), 195u);
    EXPECT_EQ(page, Page("COM3"));
    EXPECT_EQ(page.substr(33 + 31 + 31, 35), std::string("      Assinged Port :COM3") + std::string(10, '\0'));
    // COM10 can only be opened as \\.\COM10.
    EXPECT_EQ(com10.WaitForNew(195), Page("COM10"));
}

TEST_F(PortActions, EachReasonNotToPrintHasItsMessageAndWritesNothing)
{
    Bind("COM3", 10);
    Bind("COM8", 11);  // bound, but its device is gone
    struct Outcome {
        std::string what, text;
    };
    std::vector<Outcome> outcomes;
    PortCapture com3("com3");
    MainWindowRunner window([&](MainWindowRunner& w) {
        w.FillPrinterList();
        auto print = [&](const char* what) { outcomes.push_back({what, PressAndAnswer(w, IDC_TEST_PRINT).text}); };

        print("no row chosen");
        w.SelectRow(2);
        print("Not Assigned");
        w.SelectRow(1);
        print("no such port");

        // (A port held open by another program cannot be played here: Wine lets a second exclusive
        // open of a serial port succeed.)
        w.SelectRow(0);
        w.m_lstPrinters.SetItemText(0, kColumnAssignInfo, "COM3456789ABCDE");  // 15 characters
        print("name too long for the page");

        // Names that are no port of ours are never opened, whatever device they would name.
        w.m_lstPrinters.SetItemText(0, kColumnAssignInfo, "NUL");
        print("a device that is no COM port");
        w.m_lstPrinters.SetItemText(0, kColumnAssignInfo, "COM257");
        print("past the last COM port");

        w.m_nSelected = 9;  // a row that the refilled list no longer has: its cell reads empty
        print("stale row");
    });
    window.Run();
    const std::string cannotOpen = "Setting Information does not update, ReAssign the Port";
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"no row chosen", "Select mac address at list"},
        {"Not Assigned", "Not assigned!!!"},
        {"no such port", cannotOpen},
        {"name too long for the page", cannotOpen},
        {"a device that is no COM port", cannotOpen},
        {"past the last COM port", cannotOpen},
        {"stale row", cannotOpen},
    };
    ASSERT_EQ(outcomes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(outcomes[i].what, expected[i].first);
        EXPECT_EQ(outcomes[i].text, expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(com3.WaitForNew(1, 300), "");
}

TEST_F(PortActions, DetachRemovesTheBindingAndTheCellSaysNotAssigned)
{
    Bind("COM3", 10);
    Bind("com5", 11);  // not a name detach accepts
    std::vector<std::string> before, after;
    std::string printAfterDetach, detachAgain, detachUnchosen;
    HWND boxAfterDetach = nullptr, boxAfterRefusal = nullptr, boxAfterStale = nullptr;
    bool com3AfterDetach = true;
    PortCapture com3("com3");
    MainWindowRunner window([&](MainWindowRunner& w) {
        detachUnchosen = PressAndAnswer(w, IDC_DETACH_PORT).text;
        w.FillPrinterList();
        for (int row = 0; row < 3; ++row)
            before.push_back(w.m_lstPrinters.GetItemText(row, kColumnAssignInfo));

        w.SelectRow(0);
        w.Press(IDC_DETACH_PORT);
        boxAfterDetach = WaitForMessageBox(0, 200);
        com3AfterDetach = BindingExists("COM3");
        printAfterDetach = PressAndAnswer(w, IDC_TEST_PRINT).text;
        detachAgain = PressAndAnswer(w, IDC_DETACH_PORT).text;

        w.SelectRow(1);
        w.Press(IDC_DETACH_PORT);
        boxAfterRefusal = WaitForMessageBox(0, 200);

        w.m_nSelected = 9;
        w.Press(IDC_DETACH_PORT);
        boxAfterStale = WaitForMessageBox(0, 200);

        for (int row = 0; row < 3; ++row)
            after.push_back(w.m_lstPrinters.GetItemText(row, kColumnAssignInfo));
    });
    window.Run();
    EXPECT_EQ(detachUnchosen, "Select mac address at list");
    EXPECT_EQ(before, (std::vector<std::string>{"COM3", "com5", "Not Assigned"}));
    EXPECT_EQ(boxAfterDetach, nullptr);  // detach says nothing
    EXPECT_FALSE(com3AfterDetach);
    EXPECT_EQ(printAfterDetach, "Not assigned!!!");
    EXPECT_EQ(detachAgain, "Not assigned!!!");
    EXPECT_EQ(boxAfterRefusal, nullptr);
    EXPECT_EQ(boxAfterStale, nullptr);
    EXPECT_EQ(after, (std::vector<std::string>{"Not Assigned", "com5", "Not Assigned"}));
    EXPECT_TRUE(BindingExists("com5"));
    EXPECT_EQ(com3.WaitForNew(1, 300), "");
}

TEST_F(PortActions, AFailedDetachKeepsTheRowAndSaysWhy)
{
    Bind("COM3", 10);
    ASSERT_TRUE(LockBinding("COM3"));  // the registry refuses to delete it
    MessageBoxInfo box;
    std::string cell;
    MainWindowRunner window([&](MainWindowRunner& w) {
        w.FillPrinterList();
        w.SelectRow(0);
        box = PressAndAnswer(w, IDC_DETACH_PORT);
        cell = w.m_lstPrinters.GetItemText(0, kColumnAssignInfo);
    });
    window.Run();
    UnlockBinding("COM3");
    EXPECT_EQ(box.text, "Error : Fail to detach COM3 (registry error 5).\r\nThe port stays assigned.");
    EXPECT_EQ(cell, "COM3");
    EXPECT_EQ(FindAssignedPort(inet_addr("192.168.0.10")), "COM3");
}

TEST(WriteTestPage, ABlockNotTakenWholeAfterTheFirstFailsThePrint)
{
    // A non-blocking pipe whose buffer holds the first block only: the second is not taken whole.
    TestPage page;
    ASSERT_TRUE(BuildTestPage("COM3", page));
    const char* name = "\\\\.\\pipe\\kvr_test_page";
    UniqueKernelHandle server(::CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1,
                                                 static_cast<DWORD>(page[0].size()), 0, 0, nullptr));
    ASSERT_TRUE(server.Valid());
    UniqueKernelHandle client(::CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(client.Valid());
    EXPECT_EQ(WriteTestPage(server.Get(), page), TestPrintOutcome::WriteFailed);
    // The first block did go through.
    char first[64] = {0};
    DWORD got = 0;
    EXPECT_TRUE(::ReadFile(client.Get(), first, sizeof first, &got, nullptr));
    EXPECT_GE(got, static_cast<DWORD>(page[0].size()));
}
