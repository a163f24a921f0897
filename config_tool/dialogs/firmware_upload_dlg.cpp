#include "firmware_upload_dlg.h"

#include "handles.h"
#include "message_wait.h"
#include "msgbox.h"
#include "../net/datagram_frame.h"
#include "../net/firmware_connection.h"
#include "../net/firmware_stream.h"
#include "../printers/printer_table.h"
#include "../res/resource.h"

#include <commdlg.h>

#include <cstdio>

namespace {
constexpr UINT_PTR kStartTimer = 1000;
constexpr UINT_PTR kTransferTimer = 1001;
constexpr UINT kTickMs = 100;

// "Ethernet Card Firmware Files(*.bin)|*.bin||" in the file dialog's own form.
constexpr char kFileFilter[] = "Ethernet Card Firmware Files(*.bin)\0*.bin\0";

constexpr char kNoRecord[] = "Error : Fail to read Infomation list!";
constexpr char kCannotOpen[] = "Error : Fail to open file Error!";
constexpr char kEmptyFile[] = "Error : The firmware file is empty!\r\nNothing was sent to the printer.";
constexpr char kFileTooLarge[] = "Error : The firmware file is too large for a printer's Ethernet card!\r\n"
                                 "Nothing was sent to the printer.";
constexpr char kNoSocket[] = "Error : Fail to create socket!";
constexpr char kNoConnection[] =
    "Error : Fail to connected \r\nPlease, check IP port configuration in printer control pannel \"PORT\"";
constexpr char kTransferFailed[] = "Error : fail to transfer data!";
constexpr char kCompleted[] = "Upload Completed!\r\n Wait 30~60 seconds until printer is reset.";
constexpr char kCompletedCaption[] = "upload Completed";
}

CFirmwareUploadDlg::CFirmwareUploadDlg()
    : CDialog(IDD_FIRMWARE_DIALOG), m_pRecord(nullptr), m_nPrinterNo(-1), m_bTriggerPending(FALSE),
      m_bTransferPending(FALSE), m_bBusy(false)
{
}

void CFirmwareUploadDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PROGRESS, m_ctlProgress);
    DDX_Control(pDX, IDC_WINSOCK, m_Winsock);
    DDX_Text(pDX, IDC_PERCENT, m_strPercent);
}

BOOL CFirmwareUploadDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pRecord = GetPrinterRecord(m_nPrinterNo);
    if (!m_pRecord) {
        AfxMessageBox(kNoRecord, MB_OK);
        EndDialog(IDCANCEL);
        return FALSE;
    }
    m_strFilePath.clear();
    // The dialog itself is not shown yet: the file dialog comes first, and an ending here means the
    // upload dialog never appears.
    if (!ChooseFirmwareFile() || !LoadFirmwareImage()) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    m_ctlProgress.SetRange32(0, 100);
    m_ctlProgress.SetPos(0);
    m_strPercent = ": 0";
    UpdateData(FALSE);
    m_bTriggerPending = TRUE;
    m_bTransferPending = TRUE;
    SetTimer(kStartTimer, kTickMs);
    return TRUE;
}

bool CFirmwareUploadDlg::ChooseFirmwareFile()
{
    char path[MAX_PATH] = {0};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    // Owned by the window that owns this dialog (the main window), which stays disabled meanwhile.
    ofn.hwndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    ofn.lpstrFilter = kFileFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    // The current folder stays where it is: Port Management installs from the driver package there.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameA(&ofn))
        return false;  // cancelled, or a path longer than the buffer
    path[sizeof path - 1] = '\0';
    m_strFilePath = path;
    return !m_strFilePath.empty();
}

bool CFirmwareUploadDlg::LoadFirmwareImage()
{
    // Reading is all the upload needs: a file on a CD, a read-only share or one that another program
    // reads at the same time is fine. One that another program has open for writing is not.
    UniqueKernelHandle file(::CreateFileA(m_strFilePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) {
        AfxMessageBox(kCannotOpen, MB_OK);
        return false;
    }
    if (size.QuadPart == 0) {
        AfxMessageBox(kEmptyFile, MB_OK);
        return false;
    }
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > kFirmwareMaxImageSize) {
        AfxMessageBox(kFileTooLarge, MB_OK);
        return false;
    }
    m_image.assign(static_cast<size_t>(size.QuadPart), 0);
    size_t done = 0;
    while (done < m_image.size()) {
        DWORD want = static_cast<DWORD>(m_image.size() - done);
        DWORD got = 0;
        if (!::ReadFile(file.Get(), m_image.data() + done, want, &got, nullptr) || got == 0) {
            m_image.clear();
            AfxMessageBox(kCannotOpen, MB_OK);
            return false;
        }
        done += got;
    }
    return true;
}

void CFirmwareUploadDlg::OnTimer(UINT_PTR nIDEvent)
{
    // Each step runs on its timer's first tick only; ticks of other timers are the system's.
    if (nIDEvent == kStartTimer) {
        if (m_bTriggerPending) {
            m_bTriggerPending = FALSE;
            KillTimer(kStartTimer);
            SendFirmwareStart();
        }
    } else if (nIDEvent == kTransferTimer) {
        if (m_bTransferPending) {
            KillTimer(kTransferTimer);
            m_bTransferPending = FALSE;
            TransferImage();
        }
    } else {
        CDialog::OnTimer(nIDEvent);
    }
}

void CFirmwareUploadDlg::SendFirmwareStart()
{
    m_bBusy = true;
    m_Winsock.SetRemoteHost(kBroadcastHost);
    m_Winsock.SetRemotePort(kPrinterUdpPort);
    m_Winsock.SendData(MakeFirmwareStart(*m_pRecord));
    // The card opens its firmware port meanwhile.
    CPreciseTiming precise;
    WaitDispatchingMessages(m_hWnd, nullptr, kFirmwareStartPauseMs);
    SetTimer(kTransferTimer, kTickMs);
}

void CFirmwareUploadDlg::ShowPercent(int percent)
{
    char text[16];
    std::snprintf(text, sizeof text, ": %d", percent);
    m_ctlProgress.SetPos(percent);
    m_strPercent = text;
    UpdateData(FALSE);
}

void CFirmwareUploadDlg::TransferImage()
{
    CPreciseTiming precise;
    const PrinterRecord& r = *m_pRecord;
    char address[16];
    std::snprintf(address, sizeof address, "%u.%u.%u.%u", r.ip[0], r.ip[1], r.ip[2], r.ip[3]);

    CFirmwareConnection connection(m_hWnd);
    if (!connection.Create()) {
        // The printer got its start datagram but no image; the dialog stays open until closed.
        m_bBusy = false;
        AfxMessageBox(kNoSocket, MB_OK);
        return;
    }
    if (!connection.Connect(address, kFirmwareTcpPort)) {
        m_bBusy = false;
        AfxMessageBox(kNoConnection, MB_OK);
        return;
    }

    std::array<uint8_t, 4> length = FirmwareLengthPrefix(static_cast<uint32_t>(m_image.size()));
    // A failure here shows at the first block's send.
    connection.Send(length.data(), length.size());
    WaitDispatchingMessages(m_hWnd, nullptr, kFirmwareBlockPauseMs);

    std::vector<FirmwareBlock> blocks = SplitFirmwareImage(m_image.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        const FirmwareBlock& block = blocks[i];
        if (!connection.Send(m_image.data() + block.offset, block.size)) {
            connection.Close();
            m_image.clear();
            AfxMessageBox(kTransferFailed, MB_OK);
            m_bBusy = false;
            EndDialog(IDCANCEL);
            return;
        }
        ShowPercent(block.percent);
        if (i + 1 < blocks.size())
            WaitDispatchingMessages(m_hWnd, nullptr, kFirmwareBlockPauseMs);
    }
    connection.Close();
    m_image.clear();
    MessageBox(kCompleted, kCompletedCaption, MB_OK);
    m_bBusy = false;
    EndDialog(IDCANCEL);
}

void CFirmwareUploadDlg::OnOK()
{
    // The dialog has no buttons; Enter ends it only when no transfer runs.
    if (!m_bBusy)
        CDialog::OnOK();
}

void CFirmwareUploadDlg::OnCancel()
{
    // Esc and the close box are ignored while the printer waits for its image: a card left with half
    // an image is worse than a window that takes a while to close.
    if (m_bBusy)
        return;
    KillTimer(kStartTimer);
    KillTimer(kTransferTimer);
    CDialog::OnCancel();
}
