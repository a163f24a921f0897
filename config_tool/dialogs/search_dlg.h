// The search dialog (130): empties the printer table, broadcasts "FIND", adds one record per
// "IMIN" reply for 31 ticks of 100 ms while a progress bar runs, then closes by itself, at the
// latest 3.1 s after the request went out, whatever arrives meanwhile.
#pragma once
#include "controls.h"
#include "dialog.h"
#include "../net/winsock_control.h"

#include <cstdint>
#include <string>
#include <vector>

class CSearchDlg : public CDialog {
public:
    CSearchDlg();

    int m_nRemainMs;
    int m_nProgressPos;
    CProgressCtrl m_ctlProgress;
    CMSWinsockControl m_Winsock;
    std::string m_strSearchStatus;
    int m_nFound;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void OnDataArrival(long bytesTotal);

private:
    bool PastDeadline() const;

    ULONGLONG m_startMs = 0;  // when the request went out
    ULONGLONG m_shownMs = 0;  // when the values were last shown
    std::vector<uint8_t> m_datagram;  // reused for every reply
};
