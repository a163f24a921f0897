#include "socket_handle.h"

#include <mswsock.h>

#include "winsock_control.h"

#include "adapter_broadcast.h"
#include "adapters.h"
#include "endpoint_properties.h"
#include "message_wait.h"
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
// A round of reading ends after this long whatever the socket still holds: the hosting dialog's
// input, painting, timers and other waits take their turn before the next round.
constexpr ULONGLONG kRoundBudgetMs = 50;
// Within a round the queue is looked at after the first datagram and then this often.
constexpr ULONGLONG kSliceMs = 20;
// After a receive error other than "nothing waiting" the next round waits this long: an error that
// lasts (the network gone) must not keep the window busy.
constexpr UINT kErrorBackOffMs = 250;
constexpr UINT_PTR kResumeTimer = 1;

#ifndef SIO_UDP_NETRESET
#define SIO_UDP_NETRESET _WSAIOW(IOC_VENDOR, 15)
#endif

// Reports of earlier sends (an ICMP "port unreachable" or "time exceeded" for a datagram that went
// out) would otherwise come back as a failed receive on Windows; the replies are all this socket
// reads, so they are turned off.
void TurnOffSendReports(SOCKET socket)
{
    for (DWORD code : {static_cast<DWORD>(SIO_UDP_CONNRESET), static_cast<DWORD>(SIO_UDP_NETRESET)}) {
        BOOL report = FALSE;
        DWORD returned = 0;
        ::WSAIoctl(socket, code, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
    }
}

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
    // so that requests still go out (from a port of the system's choosing). The port is bound for
    // this socket alone: another program binding a more specific address on it would take the
    // replies meant for this one.
    void Bind()
    {
        m_boundPort = -1;
        ::KillTimer(m_window, kResumeTimer);
        m_resumePending = false;
        m_socket.Reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
        if (!m_socket.Valid())
            return;
        BOOL on = TRUE;
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof on);
        ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
        TurnOffSendReports(m_socket.Get());
        if (!m_properties.sendOnly) {
            int receiveBuffer = kReceiveBufferBytes;
            ::setsockopt(m_socket.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer),
                         sizeof receiveBuffer);
            ArmReading();
        }
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
            if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0]) {
                ++m_unsent;
                return;
            }
            std::memcpy(&remote.sin_addr, host->h_addr_list[0], sizeof remote.sin_addr);
        }
        // Out every adapter that is up (printers behind each must hear it). One adapter: one plain
        // send, as ever.
        std::vector<BroadcastRoute> routes;
        if (remote.sin_addr.s_addr == htonl(INADDR_BROADCAST))
            routes = BroadcastRoutes(ListIpv4Adapters());
        if (routes.size() > 1)
            m_unsent += SendOutOfEachAdapter(m_socket.Get(), data, ntohs(remote.sin_port), routes);
        else if (::sendto(m_socket.Get(), reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()), 0,
                          reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR)
            ++m_unsent;
    }

    long Unsent() const { return m_unsent; }

    void GetData(std::vector<uint8_t>& data, long maxLength) const
    {
        data.clear();
        if (m_arrivedLength < 0 || maxLength <= 0)
            return;
        long count = m_arrivedLength < maxLength ? m_arrivedLength : maxLength;
        data.assign(m_buffer.begin(), m_buffer.begin() + count);
    }

    // One notification starts a round; the round reads and delivers datagrams until the socket is
    // empty, and only then asks for the next notification. Notifications are off meanwhile: each
    // read that leaves data behind would post another, and a long round would leave the queue
    // full of them ahead of the user's input.
    void OnSocket(WPARAM socket, LPARAM event)
    {
        if (!m_socket.Valid() || static_cast<SOCKET>(socket) != m_socket.Get() || WSAGETSELECTEVENT(event) != FD_READ)
            return;
        if (m_resumePending || m_hostEnded)
            return;  // posted before this round's notifications were turned off
        ::WSAAsyncSelect(m_socket.Get(), m_window, 0, 0);
        Drain();
    }

    void OnResume()
    {
        ::KillTimer(m_window, kResumeTimer);
        m_resumePending = false;
        Drain();
    }

private:
    void ArmReading() { ::WSAAsyncSelect(m_socket.Get(), m_window, KWM_SOCKET, FD_READ); }

    // The rest of the round after `delayMs`, behind everything else in the queue (a timer's message
    // is the lowest there is). Should the system give no timer, the reading goes on all the same:
    // after a pause for an error, when the socket layer next notifies; otherwise by a notification
    // of the endpoint's own (Wine does not notify again when notifications are turned back on with
    // datagrams already waiting).
    void ResumeAfter(UINT delayMs)
    {
        if (::SetTimer(m_window, kResumeTimer, delayMs, nullptr)) {
            m_resumePending = true;
            return;
        }
        if (delayMs > USER_TIMER_MINIMUM ||
            !::PostMessageA(m_window, KWM_SOCKET, static_cast<WPARAM>(m_socket.Get()), WSAMAKESELECTREPLY(FD_READ, 0)))
            ArmReading();
    }

    // Posted socket notifications outrank input, painting and timers in the queue, so a round looks
    // at the queue after its first datagram and then every kSliceMs: pending painting is done on
    // the spot, and when input or a timer waits, painting is still pending after a paint, or the
    // round has run kRoundBudgetMs, the rest is left in the socket for the next round. The hosting
    // dialog's nonzero answer to a delivery means it has ended: nothing more is handed to it.
    void Drain()
    {
        if (m_hostEnded || !m_socket.Valid())
            return;
        HWND host = ::GetParent(m_window);
        const WPARAM id = static_cast<WPARAM>(::GetDlgCtrlID(m_window));
        const ULONGLONG roundEnd = ::GetTickCount64() + kRoundBudgetMs;
        ULONGLONG sliceEnd = 0;
        for (;;) {
            int received = ::recvfrom(m_socket.Get(), m_buffer.data(), static_cast<int>(m_buffer.size()), 0, nullptr,
                                      nullptr);
            if (received == SOCKET_ERROR) {
                int error = ::WSAGetLastError();
                if (error == WSAEWOULDBLOCK) {
                    ArmReading();  // empty: the next datagram notifies
                    return;
                }
                // A report of an earlier send (where the system still gives them) is read past, the
                // datagrams behind it still count; on the clock, like a datagram. Anything else
                // ends the round for a while.
                if (error != WSAECONNRESET && error != WSAENETRESET) {
                    ResumeAfter(kErrorBackOffMs);
                    return;
                }
            } else {
                m_arrivedLength = received;
                LRESULT ended = ::SendMessageA(host, KWM_DATAARRIVAL, id, static_cast<LPARAM>(received));
                m_arrivedLength = -1;
                if (ended) {
                    m_hostEnded = true;
                    return;
                }
            }
            ULONGLONG now = ::GetTickCount64();
            if (now >= roundEnd) {
                ResumeAfter(USER_TIMER_MINIMUM);
                return;
            }
            if (now < sliceEnd)
                continue;
            sliceEnd = now + kSliceMs;
            const UINT input = UserInputQueueFlags();
            // What is in the queue now, and what came since the last look.
            DWORD status = ::GetQueueStatus(input | QS_PAINT | QS_TIMER);
            DWORD waiting = HIWORD(status) | LOWORD(status);
            bool paintLeft = false;
            if (waiting & QS_PAINT) {
                ::RedrawWindow(host, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                // Still to paint: other windows of the thread (the one under the dialog), painted
                // by the queue.
                paintLeft = (LOWORD(::GetQueueStatus(QS_PAINT)) & QS_PAINT) != 0;
            }
            if (paintLeft || (waiting & (input | QS_TIMER))) {
                ResumeAfter(USER_TIMER_MINIMUM);
                return;
            }
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
    long m_unsent = 0;          // datagrams (or copies of a broadcast) the system would not send
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

long CMSWinsockControl::UnsentCount()
{
    Endpoint* endpoint = EndpointOf(m_hWnd);
    return endpoint ? endpoint->Unsent() : 0;
}

void CMSWinsockControl::GetData(std::vector<uint8_t>& data, long maxLength)
{
    data.clear();
    if (Endpoint* endpoint = EndpointOf(m_hWnd))
        endpoint->GetData(data, maxLength);
}
