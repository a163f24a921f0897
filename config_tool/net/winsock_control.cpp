#include "socket_handle.h"

#include "winsock_control.h"

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
        ::sendto(m_socket.Get(), reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()), 0,
                 reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    }

    void GetData(std::vector<uint8_t>& data, long maxLength) const
    {
        data.clear();
        if (!m_arrived || maxLength <= 0)
            return;
        size_t count = m_arrived->size() < static_cast<size_t>(maxLength) ? m_arrived->size()
                                                                            : static_cast<size_t>(maxLength);
        data.assign(m_arrived->begin(), m_arrived->begin() + static_cast<std::ptrdiff_t>(count));
    }

    // One datagram per notification: the next one, if any, comes with the next notification, so a
    // dialog that ends while handling one is not handed more.
    void OnSocket(WPARAM socket, LPARAM event)
    {
        if (!m_socket.Valid() || static_cast<SOCKET>(socket) != m_socket.Get() || WSAGETSELECTEVENT(event) != FD_READ)
            return;
        std::vector<uint8_t> datagram(kMaxDatagram);
        int received = ::recvfrom(m_socket.Get(), reinterpret_cast<char*>(datagram.data()), kMaxDatagram, 0, nullptr,
                                  nullptr);
        if (received == SOCKET_ERROR)
            return;  // nothing waiting, or an error report for an earlier send
        datagram.resize(static_cast<size_t>(received));
        m_arrived = &datagram;
        ::SendMessageA(::GetParent(m_window), KWM_DATAARRIVAL, static_cast<WPARAM>(::GetDlgCtrlID(m_window)),
                       static_cast<LPARAM>(received));
        m_arrived = nullptr;
    }

private:
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
    const std::vector<uint8_t>* m_arrived = nullptr;  // the datagram being delivered
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
