#include "socket_handle.h"

#include <ws2ipdef.h>

#include "winsock_control.h"

#include "adapters.h"
#include "endpoint_properties.h"
#include "msgbox.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The socket layer's notification to the control window itself: wParam the socket, lParam the event.
constexpr UINT KWM_SOCKET = WM_APP + 1;

// A burst of replies (hundreds of printers answering at once) must not overflow the socket.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;
constexpr int kMaxDatagram = 65536;
// How long datagrams are read in one go while the user's input, painting or a timer waits.
constexpr ULONGLONG kSliceMs = 20;
constexpr UINT_PTR kResumeTimer = 1;

class Endpoint {
public:
    Endpoint(HWND window, const EndpointProperties& properties) : m_window(window), m_properties(properties) {}

    void SetRemoteHost(const char* host) { m_properties.remoteHost = host; }
    void SetRemotePort(long port) { m_properties.remotePort = port; }

    void SetLocalPort(long port)
    {
        if (m_socket.Valid() && port == m_boundPort)
            return;
        m_properties.localPort = port;
        Bind();
    }

    // A new socket bound to the local port. When the port cannot be bound the socket stays, unbound,
    // so that requests still go out (from a port of the system's choosing).
    void Bind()
    {
        m_boundPort = -1;
        m_socket.Reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
        if (!m_socket.Valid())
            return;
        BOOL broadcast = TRUE;
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&broadcast),
                     sizeof broadcast);
        int receiveBuffer = kReceiveBufferBytes;
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
                     sizeof receiveBuffer);
        ::WSAAsyncSelect(m_socket.Get(), m_window, KWM_SOCKET, FD_READ);
        sockaddr_in local = {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        local.sin_port = htons(static_cast<u_short>(m_properties.localPort));
        if (::bind(m_socket.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0)
            m_boundPort = m_properties.localPort;
        else
            ReportBindFailure(::WSAGetLastError());
    }

    void Send(const std::vector<uint8_t>& data)
    {
        if (!m_socket.Valid())
            return;
        sockaddr_in remote = {};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(static_cast<u_short>(m_properties.remotePort));
        remote.sin_addr.s_addr = inet_addr(m_properties.remoteHost.c_str());
        if (remote.sin_addr.s_addr == INADDR_NONE && m_properties.remoteHost != kBroadcastHost) {
            const hostent* host = ::gethostbyname(m_properties.remoteHost.c_str());
            if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0])
                return;
            std::memcpy(&remote.sin_addr, host->h_addr_list[0], sizeof remote.sin_addr);
        }
        if (remote.sin_addr.s_addr == htonl(INADDR_BROADCAST))
            SendBroadcast(data, remote);
        else
            SendTo(data, remote);
    }

    void GetData(std::vector<uint8_t>& data, long maxLength) const
    {
        data.clear();
        if (m_arrivedLength < 0 || maxLength <= 0)
            return;
        long count = m_arrivedLength < maxLength ? m_arrivedLength : maxLength;
        data.assign(m_buffer.begin(), m_buffer.begin() + count);
    }

    // Datagrams are read and delivered until the socket has none left, so a burst costs one
    // notification, not one per datagram. Posted socket notifications outrank input, painting and
    // timers in the queue, so the queue is looked at after the first datagram and then every
    // kSliceMs: the hosting dialog is painted there and then, and when input or a timer waits
    // the rest is left in the socket and read after them (the resume timer is the lowest message
    // there is). The hosting dialog's nonzero answer to a delivery means it has ended: nothing
    // more is handed to it.
    void OnSocket(WPARAM socket, LPARAM event)
    {
        if (!m_socket.Valid() || static_cast<SOCKET>(socket) != m_socket.Get() || WSAGETSELECTEVENT(event) != FD_READ)
            return;
        if (!m_resumePending)
            Drain();
    }

    void OnResume()
    {
        ::KillTimer(m_window, kResumeTimer);
        m_resumePending = false;
        Drain();
    }

private:
    void SendTo(const std::vector<uint8_t>& data, const sockaddr_in& remote)
    {
        ::sendto(m_socket.Get(), reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()), 0,
                 reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    }

    // Out every adapter that is up (printers behind each must hear it), from this one socket so
    // that the replies come to the local port. One adapter: one plain send, as ever. The outgoing
    // interface is chosen per send; where the platform cannot, the adapter's subnet broadcast
    // stands in (an unconfigured printer may not hear that one).
    void SendBroadcast(const std::vector<uint8_t>& data, sockaddr_in remote)
    {
        std::vector<BroadcastRoute> routes = BroadcastRoutes(ListIpv4Adapters());
        if (routes.size() < 2) {
            SendTo(data, remote);
            return;
        }
        for (const BroadcastRoute& route : routes) {
            DWORD index = htonl(route.interfaceIndex);
            bool chosen = ::setsockopt(m_socket.Get(), IPPROTO_IP, IP_UNICAST_IF, reinterpret_cast<const char*>(&index),
                                       sizeof index) == 0;
            remote.sin_addr.s_addr = chosen ? htonl(INADDR_BROADCAST) : htonl(route.directedBroadcast);
            SendTo(data, remote);
        }
        DWORD any = 0;
        ::setsockopt(m_socket.Get(), IPPROTO_IP, IP_UNICAST_IF, reinterpret_cast<const char*>(&any), sizeof any);
    }

    void Drain()
    {
        if (m_hostEnded || !m_socket.Valid())
            return;
        HWND host = ::GetParent(m_window);
        const WPARAM id = static_cast<WPARAM>(::GetDlgCtrlID(m_window));
        ULONGLONG sliceEnd = 0;
        for (;;) {
            int received = ::recvfrom(m_socket.Get(), m_buffer.data(), static_cast<int>(m_buffer.size()), 0, nullptr,
                                      nullptr);
            if (received == SOCKET_ERROR) {
                int error = ::WSAGetLastError();
                // An error report for an earlier send (an ICMP "unreachable"): the datagrams behind it
                // still count. Anything else (nothing waiting, the network gone) ends this round; a
                // lasting error must not keep the window in this loop.
                if (error == WSAECONNRESET || error == WSAENETRESET)
                    continue;
                return;
            }
            m_arrivedLength = received;
            LRESULT ended = ::SendMessageA(host, KWM_DATAARRIVAL, id, static_cast<LPARAM>(received));
            m_arrivedLength = -1;
            if (ended) {
                m_hostEnded = true;
                return;
            }
            ULONGLONG now = ::GetTickCount64();
            if (now < sliceEnd)
                continue;
            sliceEnd = now + kSliceMs;
            DWORD waiting = HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER));
            if (waiting & (QS_INPUT | QS_TIMER)) {
                m_resumePending = true;
                ::SetTimer(m_window, kResumeTimer, USER_TIMER_MINIMUM, nullptr);
                return;
            }
            if (waiting & QS_PAINT)
                ::RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }

    void ReportBindFailure(int error)
    {
        if (m_bindFailureShown)
            return;
        m_bindFailureShown = true;
        AfxMessageBox(BindFailureText(m_properties.localPort, error == WSAEADDRINUSE, error, m_properties.sendOnly).c_str(), MB_OK);
    }

    HWND m_window;
    EndpointProperties m_properties;
    UniqueSocket m_socket;
    long m_boundPort = -1;
    bool m_bindFailureShown = false;
    std::vector<char> m_buffer = std::vector<char>(kMaxDatagram);  // one datagram, reused
    long m_arrivedLength = -1;  // length of the datagram in m_buffer while it is delivered
    bool m_resumePending = false;
    bool m_hostEnded = false;
};

// The endpoint of a control window of this process; null for any other window.
Endpoint* EndpointOf(HWND window)
{
    if (!window)
        return nullptr;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char className[64] = {0};
    if (process != ::GetCurrentProcessId() || !::GetClassNameA(window, className, sizeof className) ||
        ::lstrcmpiA(className, KVR_WINSOCK_CLASS) != 0)
        return nullptr;
    return reinterpret_cast<Endpoint*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK WinsockControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Endpoint* endpoint = reinterpret_cast<Endpoint*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    switch (message) {
    case WM_CREATE: {
        // Bound as soon as the dialog creates it: a reply may come before the dialog sends anything.
        auto* created = new Endpoint(hWnd, ParseEndpointProperties(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpszName));
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        created->Bind();
        return 0;
    }
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        delete endpoint;
        break;
    case KWM_SOCKET:
        if (endpoint)
            endpoint->OnSocket(wParam, lParam);
        return 0;
    case WM_TIMER:
        if (endpoint && wParam == kResumeTimer)
            endpoint->OnResume();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace

bool RegisterWinsockControlClass(HINSTANCE hInstance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WinsockControlProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = KVR_WINSOCK_CLASS;
    return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void CMSWinsockControl::SetRemoteHost(const char* host)
{
    if (Endpoint* endpoint = EndpointOf(m_hWnd); endpoint && host)
        endpoint->SetRemoteHost(host);
}

void CMSWinsockControl::SetRemotePort(long port)
{
    if (Endpoint* endpoint = EndpointOf(m_hWnd))
        endpoint->SetRemotePort(port);
}

void CMSWinsockControl::SetLocalPort(long port)
{
    if (Endpoint* endpoint = EndpointOf(m_hWnd))
        endpoint->SetLocalPort(port);
}

void CMSWinsockControl::SendData(const std::vector<uint8_t>& data)
{
    if (Endpoint* endpoint = EndpointOf(m_hWnd))
        endpoint->Send(data);
}

void CMSWinsockControl::GetData(std::vector<uint8_t>& data, long maxLength)
{
    data.clear();
    if (Endpoint* endpoint = EndpointOf(m_hWnd))
        endpoint->GetData(data, maxLength);
}
