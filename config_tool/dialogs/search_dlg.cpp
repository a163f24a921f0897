#include "search_dlg.h"

#include "../net/datagram_frame.h"
#include "../printers/printer_table.h"
#include "../res/resource.h"

namespace {
constexpr UINT_PTR kSearchTimer = 1000;
constexpr UINT kTickMs = 100;
constexpr int kSearchMs = 3000;
// The search's whole length, 31 ticks. Ticks come late or not at all while datagrams flood the
// queue, so the clock ends the search as well, at a tick or at a reply.
constexpr ULONGLONG kSearchDeadlineMs = kSearchMs + kTickMs;
// While replies pour in, the counter is redrawn at most this often; a tick always shows it.
constexpr ULONGLONG kCounterRefreshMs = 50;
constexpr const char kSearching[] = "Now Searching.";
}

CSearchDlg::CSearchDlg()
    : CDialog(IDD_SEARCH_DIALOG), m_nRemainMs(0), m_nProgressPos(0), m_nFound(0)
{
}

void CSearchDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_PROGRESS, m_ctlProgress);
    DDX_Control(pDX, IDC_WINSOCK, m_Winsock);
    DDX_Text(pDX, IDC_SEARCH_STATUS, m_strSearchStatus);
    DDX_Text(pDX, IDC_FOUND_COUNT, m_nFound);
}

BOOL CSearchDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nFound = 0;
    UpdateData(FALSE);
    ClearPrinterTable();
    m_nProgressPos = 0;
    m_strSearchStatus = kSearching;  // shown from the first tick on
    m_ctlProgress.SetRange32(0, kSearchMs);
    m_ctlProgress.SetPos(m_nProgressPos);
    m_Winsock.SetRemoteHost(kBroadcastHost);
    m_Winsock.SetRemotePort(kPrinterUdpPort);
    m_Winsock.SetLocalPort(kToolUdpPort);
    m_Winsock.SendData(MakeFindRequest());
    m_nRemainMs = kSearchMs;
    m_startMs = ::GetTickCount64();
    m_shownMs = m_startMs;
    SetTimer(kSearchTimer, kTickMs);
    return TRUE;
}

void CSearchDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kSearchTimer) {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    m_nRemainMs -= static_cast<int>(kTickMs);
    m_nProgressPos += static_cast<int>(kTickMs);
    m_strSearchStatus += ".";
    if (m_nRemainMs % 1000 == 0)
        m_strSearchStatus = kSearching;
    m_ctlProgress.SetPos(m_nProgressPos);
    if (m_nRemainMs < 0 || PastDeadline())
        OnCancel();
    UpdateData(FALSE);
    m_shownMs = ::GetTickCount64();
}

bool CSearchDlg::PastDeadline() const
{
    return ::GetTickCount64() - m_startMs >= kSearchDeadlineMs;
}

void CSearchDlg::OnOK()
{
    // Enter (the focus on the counter) must not end the search early: only Cancel, Esc, the close
    // box and the time-out end it.
}

void CSearchDlg::OnCancel()
{
    KillTimer(kSearchTimer);
    CDialog::OnCancel();
}

BOOL CSearchDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == KWM_DATAARRIVAL && wParam == IDC_WINSOCK) {
        OnDataArrival(static_cast<long>(lParam));
        *pResult = HasEnded() ? 1 : 0;
        return TRUE;
    }
    return FALSE;
}

void CSearchDlg::OnDataArrival(long bytesTotal)
{
    if (HasEnded())
        return;
    if (PastDeadline()) {
        OnCancel();
        return;
    }
    m_Winsock.GetData(m_datagram, bytesTotal);
    PrinterRecord record;
    if (!ParseFindReply(m_datagram.data(), m_datagram.size(), record))
        return;
    if (!AddPrinterRecord(record))
        return;  // the table is full: the reply is not listed, so not counted
    ++m_nFound;
    ULONGLONG now = ::GetTickCount64();
    if (now - m_shownMs >= kCounterRefreshMs) {
        UpdateData(FALSE);
        m_shownMs = now;
    }
}
