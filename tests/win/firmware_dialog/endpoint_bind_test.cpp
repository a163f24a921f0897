// What a dialog's UDP endpoint tells the user when its local port cannot be bound: the cause, and
// what that dialog then cannot do.
#include "config_dialog_runner.h"
#include "import_patch.h"
#include "message_box_watch.h"
#include "printer_records.h"

#include "dialogs/firmware_upload_dlg.h"
#include "net/socket_handle.h"
#include "printers/printer_table.h"

#include <gtest/gtest.h>

#include <future>

namespace {
int WSAAPI RefusingBind(SOCKET, const sockaddr*, int)
{
    ::WSASetLastError(WSAEACCES);
    return SOCKET_ERROR;
}

class EndpointBind : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartUpLikeTheTool();
        ClearPrinterTable();
        AddPrinterRecord(MakeRecord(0x5F, 10));
    }
    void TearDown() override { ClearPrinterTable(); }
};
}

TEST_F(EndpointBind, AFailureOtherThanThePortInUseIsNamedByItsErrorAndRepliesAreMissed)
{
    ImportPatch refusing("ws2_32.dll", "bind", reinterpret_cast<void*>(&RefusingBind));
    ASSERT_TRUE(refusing.Applied());
    MessageBoxWatch boxes;
    RunConfigDialog(1, "Not Assigned", [](HWND) {});
    const std::vector<MessageBoxInfo>& shown = boxes.Stop();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error : UDP port 48780 cannot be used (socket error 10013)!\r\n"
                             "Replies from the printers cannot be received.");
}

TEST_F(EndpointBind, TheFirmwareUploadSaysItsStartGoesOutFromAnotherPort)
{
    // Another program holds the port (nothing is sent).
    UniqueSocket holder(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(48780);
    ASSERT_EQ(::bind(holder.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local), 0);
    MessageBoxWatch boxes;
    auto cancelled = std::async(std::launch::async, [] {
        HWND open = WaitForDialog("Open", 10000);
        if (open)
            ClickButton(open, IDCANCEL);
        return open != nullptr;
    });
    CFirmwareUploadDlg upload;
    upload.m_nPrinterNo = 1;
    upload.DoModal();
    EXPECT_TRUE(cancelled.get());
    const std::vector<MessageBoxInfo>& shown = boxes.Stop();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error : UDP port 48780 is in use by another program!\r\n"
                             "The firmware upload cannot send its start message from this port: it goes out from "
                             "another one.");
}
