// The firmware upload dialog (135) up to the start message: the file it checks first, and the guard
// that keeps a running upload from being closed. The start message is held back in every test, so
// nothing goes out.
#include "config_dialog_runner.h"
#include "dialog_driver.h"
#include "handles.h"
#include "message_box_watch.h"
#include "message_wait.h"
#include "printer_records.h"

#include "dialogs/firmware_upload_dlg.h"
#include "printers/printer_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <string>

namespace {
constexpr int kFileNameField = 1148;
constexpr UINT_PTR kStartTimer = 1000;

class UploadUnderTest : public CFirmwareUploadDlg {
public:
    using CFirmwareUploadDlg::m_bBusy;
    // Runs once the upload has been started (the file is read), with its start message held back.
    std::function<void(UploadUnderTest&)> body;
    bool shown = false;

protected:
    BOOL OnInitDialog() override
    {
        BOOL result = CFirmwareUploadDlg::OnInitDialog();
        if (!HasEnded()) {
            KillTimer(kStartTimer);
            ::PostMessageA(m_hWnd, WM_APP, 0, 0);
        }
        return result;
    }
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message != WM_APP)
            return CFirmwareUploadDlg::OnMessage(message, wParam, lParam, pResult);
        shown = true;
        if (body)
            body(*this);
        if (!HasEnded()) {
            m_bBusy = false;
            EndDialog(IDCANCEL);
        }
        *pResult = 0;
        return TRUE;
    }
};

// Answers the file dialog with path (empty: Cancel); false when none came.
std::future<bool> ChooseFile(const std::string& path)
{
    return std::async(std::launch::async, [path] {
        HWND open = WaitForDialog("Open", 10000);
        if (!open)
            return false;
        if (path.empty()) {
            ClickButton(open, IDCANCEL);
        } else {
            SetFieldText(open, kFileNameField, path.c_str());
            ClickButton(open, IDOK);
        }
        return WaitForWindowGone(open, 5000);
    });
}

class FirmwareDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartUpLikeTheTool();
        ClearPrinterTable();
        AddPrinterRecord(MakeRecord(0x5F, 10));
        char folder[MAX_PATH] = {0};
        ::GetTempPathA(sizeof folder, folder);
        m_folder = folder;
    }
    void TearDown() override
    {
        ClearPrinterTable();
        for (const std::string& file : m_files)
            ::DeleteFileA(file.c_str());
    }
    std::string WriteImage(const char* name, size_t size)
    {
        std::string path = m_folder + name;
        UniqueKernelHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        std::string bytes(size, '\x5A');
        DWORD written = 0;
        ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        m_files.push_back(path);
        return path;
    }
    // Runs the upload of printer 1 with path chosen; the boxes it showed.
    std::vector<MessageBoxInfo> Run(UploadUnderTest& upload, const std::string& path, bool* chosen = nullptr)
    {
        upload.m_nPrinterNo = 1;
        MessageBoxWatch boxes;
        std::future<bool> answered = ChooseFile(path);
        result = upload.DoModal();
        bool fileDialog = answered.get();
        if (chosen)
            *chosen = fileDialog;
        return boxes.Stop();
    }

    std::string m_folder;
    std::vector<std::string> m_files;
    INT_PTR result = 0;
};

std::vector<std::string> Texts(const std::vector<MessageBoxInfo>& boxes)
{
    std::vector<std::string> texts;
    for (const MessageBoxInfo& box : boxes)
        texts.push_back(box.text);
    return texts;
}
}

TEST_F(FirmwareDialog, NoFileAnEmptyOneOrOneThatCannotBeReadEndsItBeforeAnythingIsSent)
{
    const std::string cannotOpen = "Error : Fail to open file Error!";
    const std::string held = WriteImage("kvr_held.bin", 10);
    UniqueKernelHandle holder(::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    struct Case {
        const char* name;
        std::string path;
        std::vector<std::string> boxes;
    } cases[] = {
        {"cancelled", "", {}},
        {"missing", m_folder + "kvr_missing.bin", {cannotOpen}},
        {"empty", WriteImage("kvr_empty.bin", 0), {"Error : The firmware file is empty!\r\nNothing was sent to the printer."}},
        {"held by another program", held, {cannotOpen}},
    };
    for (const Case& c : cases) {
        UploadUnderTest upload;
        bool chosen = false;
        std::vector<std::string> texts = Texts(Run(upload, c.path, &chosen));
        EXPECT_TRUE(chosen) << c.name;
        EXPECT_EQ(texts, c.boxes) << c.name;
        EXPECT_EQ(result, IDCANCEL) << c.name;
        EXPECT_FALSE(upload.shown) << c.name;
    }
}

TEST_F(FirmwareDialog, WhileTheUploadRunsNeitherEscNorTheCloseBoxNorEnterEndIt)
{
    bool endedWhileBusy = true, endedAfter = false;
    UploadUnderTest upload;
    upload.body = [&](UploadUnderTest& d) {
        d.m_bBusy = true;  // as from the start message until the transfer has ended
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));  // Esc
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));      // Enter
        d.SendMessage(WM_CLOSE);                                      // the close box
        WaitDispatchingMessages(d.m_hWnd, nullptr, 200);
        endedWhileBusy = d.HasEnded();
        d.m_bBusy = false;
        d.SendMessage(WM_CLOSE);
        WaitDispatchingMessages(d.m_hWnd, nullptr, 200);
        endedAfter = d.HasEnded();
    };
    std::vector<std::string> texts = Texts(Run(upload, WriteImage("kvr_fw.bin", 3000)));
    EXPECT_TRUE(upload.shown);
    EXPECT_TRUE(texts.empty());
    EXPECT_FALSE(endedWhileBusy);
    EXPECT_TRUE(endedAfter);
}
