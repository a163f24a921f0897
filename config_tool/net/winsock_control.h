// The UDP endpoint that dialogs 130, 132 and 135 host as control 1000 (window class KVR_WINSOCK_CLASS).
//
// The control window owns one UDP socket with broadcast permitted, bound to its local port
// (48780 unless changed). Every received datagram is handed to the hosting dialog on the
// user-interface thread as one WM_NOTIFY with code KWN_DATAARRIVAL (an NMDATAARRIVAL), during which
// GetData returns it. The socket is closed when the control window is destroyed with its dialog.
#pragma once
#include "wnd.h"
#include "winsock_control_class.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

constexpr UINT KWN_DATAARRIVAL = 0x8001;

struct NMDATAARRIVAL {
    NMHDR hdr;
    long bytesTotal;  // length of the received datagram
};

// Registers the control's window class; call once at start-up, before any dialog that hosts it opens.
bool RegisterWinsockControlClass(HINSTANCE hInstance);

// Wrapper through which a dialog uses its endpoint control (bound with DDX_Control).
class CMSWinsockControl : public CWnd {
public:
    // Later sends go to this host (dotted address or name).
    void SetRemoteHost(const char* host);
    // Later sends go to this UDP port.
    void SetRemotePort(long port);
    // Datagrams to this local UDP port are received: the socket is (re)bound to it. When the port
    // cannot be bound (another program holds it) the user is told once that replies cannot be received.
    void SetLocalPort(long port);
    // Sends the bytes as one datagram (binding the local port first if that has not happened yet).
    void SendData(const std::vector<uint8_t>& data);
    // During a KWN_DATAARRIVAL: the received datagram, at most maxLength bytes. Otherwise empty.
    void GetData(std::vector<uint8_t>& data, long maxLength);
};
