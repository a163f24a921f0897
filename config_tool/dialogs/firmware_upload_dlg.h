// The firmware upload dialog (135): the user picks a firmware image for the chosen printer; the tool
// broadcasts "FIRS" with the printer's record, connects to the printer on TCP port 48783 and streams
// the image in paced blocks while a progress bar and a percentage follow, then says that the
// printer resets. The window keeps answering during the transfer, which only ends by itself.
#pragma once
#include "controls.h"
#include "dialog.h"
#include "../net/winsock_control.h"
#include "../printers/printer_record.h"

#include <cstdint>
#include <string>
#include <vector>

class CFirmwareUploadDlg : public CDialog {
public:
    CFirmwareUploadDlg();

    std::string m_strFilePath;
    PrinterRecord* m_pRecord;
    int m_nPrinterNo;
    BOOL m_bTriggerPending;
    BOOL m_bTransferPending;
    CProgressCtrl m_ctlProgress;
    CMSWinsockControl m_Winsock;
    std::string m_strPercent;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR nIDEvent) override;

    // Asks for the image file; false when the user cancelled or chose nothing.
    bool ChooseFirmwareFile();
    // Reads the whole chosen file into m_image. False, after telling the user, when it cannot be
    // read or cannot be sent (empty, too large).
    bool LoadFirmwareImage();
    void SendFirmwareStart();
    void TransferImage();
    void ShowPercent(int percent);

    // The image, read before anything is sent.
    std::vector<uint8_t> m_image;
    // From the start datagram until the transfer has ended: the dialog cannot be closed.
    bool m_bBusy;
};
