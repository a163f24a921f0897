// The UDP endpoint that dialogs 130, 132 and 135 host as control 1000 (window class KVR_WINSOCK_CLASS).
//
// The control window owns one UDP socket with broadcast permitted, bound to its local port from the
// moment the dialog creates it (48780 unless the template says otherwise). Every received datagram
// is handed to the hosting dialog on the user-interface thread as one KWM_DATAARRIVAL message,
// during which GetData returns it; a flood of datagrams still leaves the dialog's input, painting
// and timers their turn. The socket is closed when the control window is destroyed with its dialog.
#pragma once
#include "wnd.h"
#include "winsock_control_class.h"

#include <cstdint>
#include <vector>

// Sent to the hosting dialog once per received datagram: wParam the control's ID, lParam the
// datagram's length (bytesTotal). It carries no pointer: a forged one finds no datagram to get.
// The dialog answers nonzero once it has ended: the control then hands it no more datagrams.
constexpr UINT KWM_DATAARRIVAL = WM_APP + 0x100;

// Registers the control's window class; call once at start-up, before any dialog that hosts it opens.
bool RegisterWinsockControlClass(HINSTANCE hInstance);

// Wrapper through which a dialog uses its endpoint control (bound with DDX_Control). Calls on a
// window that is not an endpoint of this process do nothing.
class CMSWinsockControl : public CWnd {
public:
    // Later sends go to this host (dotted address or name).
    void SetRemoteHost(const char* host);
    // Later sends go to this UDP port.
    void SetRemotePort(long port);
    // Datagrams to this local UDP port are received: the socket is bound to it, unless it is bound
    // to that port already. When the port cannot be bound the user is told once, by its cause.
    void SetLocalPort(long port);
    // Sends the bytes as one datagram.
    void SendData(const std::vector<uint8_t>& data);
    // How many datagrams (or copies of a broadcast out of one adapter) the system refused to send.
    long UnsentCount();
    // During a KWM_DATAARRIVAL: the received datagram, at most maxLength bytes. Otherwise empty.
    void GetData(std::vector<uint8_t>& data, long maxLength);
};
