#include <winsock2.h>

#include "winsock_control.h"

#include "msgbox.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum : UINT {
    KWM_SETREMOTEHOST = WM_USER + 1,  // lParam: const char*
    KWM_SETREMOTEPORT,                // wParam: port
    KWM_SETLOCALPORT,                 // wParam: port
    KWM_SENDDATA,                     // wParam: size, lParam: const uint8_t*
    KWM_GETDATA,                      // wParam: max length, lParam: std::vector<uint8_t>*
    KWM_SOCKET,                       // WSAAsyncSelect notification
};

// A burst of replies (hundreds of printers answering at once) must not overflow the socket.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;
constexpr int kMaxDatagram = 65536;

struct EndpointState {
    std::string remoteHost = "255.255.255.255";
    long remotePort = 48781;
    long localPort = 48780;
    SOCKET socket = INVALID_SOCKET;
    bool bindFailureShown = false;
    const std::vector<uint8_t>* arrived = nullptr;  // the datagram being delivered
};

EndpointState* StateOf(HWND hWnd)
{
    return reinterpret_cast<EndpointState*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
}

// "Protocol=UDP;RemoteHost=...;RemotePort=...;LocalPort=..." from the dialog template.
void ApplyInitialProperties(EndpointState& state, const char* properties)
{
    std::string text = properties ? properties : "";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        std::string item = text.substr(start, end - start);
        size_t eq = item.find('=');
        if (eq != std::string::npos) {
            std::string name = item.substr(0, eq);
            std::string value = item.substr(eq + 1);
            if (name == "RemoteHost")
                state.remoteHost = value;
            else if (name == "RemotePort")
                state.remotePort = std::atol(value.c_str());
            else if (name == "LocalPort")
                state.localPort = std::atol(value.c_str());
        }
        start = end + 1;
    }
}

void CloseSocket(EndpointState& state)
{
    if (state.socket != INVALID_SOCKET) {
        ::closesocket(state.socket);
        state.socket = INVALID_SOCKET;
    }
}

void OpenSocket(HWND hWnd, EndpointState& state)
{
    CloseSocket(state);
    state.socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (state.socket == INVALID_SOCKET)
        return;
    BOOL broadcast = TRUE;
    ::setsockopt(state.socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&broadcast), sizeof broadcast);
    int receiveBuffer = kReceiveBufferBytes;
    ::setsockopt(state.socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(static_cast<u_short>(state.localPort));
    if (::bind(state.socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR &&
        !state.bindFailureShown) {
        state.bindFailureShown = true;
        char text[200];
        std::snprintf(text, sizeof text,
                      "Error : UDP port %ld is in use by another program!\r\n"
                      "Replies from the printers cannot be received.",
                      state.localPort);
        AfxMessageBox(text, MB_OK);
    }
    ::WSAAsyncSelect(state.socket, hWnd, KWM_SOCKET, FD_READ);
}

void Send(HWND hWnd, EndpointState& state, const uint8_t* data, size_t size)
{
    if (state.socket == INVALID_SOCKET)
        OpenSocket(hWnd, state);
    if (state.socket == INVALID_SOCKET)
        return;
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<u_short>(state.remotePort));
    remote.sin_addr.s_addr = inet_addr(state.remoteHost.c_str());
    if (remote.sin_addr.s_addr == INADDR_NONE && state.remoteHost != "255.255.255.255") {
        const hostent* host = ::gethostbyname(state.remoteHost.c_str());
        if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0])
            return;
        std::memcpy(&remote.sin_addr, host->h_addr_list[0], sizeof remote.sin_addr);
    }
    ::sendto(state.socket, reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
             reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
}

// One datagram per notification: the next one, if any, comes with the next notification, so a
// dialog that ends while handling one is not handed more.
void Receive(HWND hWnd, EndpointState& state)
{
    if (state.socket == INVALID_SOCKET)
        return;
    std::vector<uint8_t> datagram(kMaxDatagram);
    sockaddr_in from = {};
    int fromLength = sizeof from;
    int received = ::recvfrom(state.socket, reinterpret_cast<char*>(datagram.data()), kMaxDatagram, 0,
                              reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received == SOCKET_ERROR)
        return;  // nothing waiting, or an error report for an earlier send
    datagram.resize(static_cast<size_t>(received));

    NMDATAARRIVAL event = {};
    event.hdr.hwndFrom = hWnd;
    event.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(hWnd));
    event.hdr.code = KWN_DATAARRIVAL;
    event.bytesTotal = received;
    state.arrived = &datagram;
    ::SendMessageA(::GetParent(hWnd), WM_NOTIFY, event.hdr.idFrom, reinterpret_cast<LPARAM>(&event));
    // The window may be gone after the dialog's handler ran.
    if (EndpointState* current = StateOf(hWnd))
        current->arrived = nullptr;
}

LRESULT CALLBACK WinsockControlProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    EndpointState* state = StateOf(hWnd);
    switch (message) {
    case WM_NCCREATE: {
        auto* created = new EndpointState;
        ApplyInitialProperties(*created, reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpszName);
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        break;
    }
    case WM_NCDESTROY:
        if (state) {
            CloseSocket(*state);
            delete state;
            ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        }
        break;
    case KWM_SETREMOTEHOST:
        if (state && lParam)
            state->remoteHost = reinterpret_cast<const char*>(lParam);
        return 0;
    case KWM_SETREMOTEPORT:
        if (state)
            state->remotePort = static_cast<long>(wParam);
        return 0;
    case KWM_SETLOCALPORT:
        if (state) {
            state->localPort = static_cast<long>(wParam);
            OpenSocket(hWnd, *state);
        }
        return 0;
    case KWM_SENDDATA:
        if (state)
            Send(hWnd, *state, reinterpret_cast<const uint8_t*>(lParam), static_cast<size_t>(wParam));
        return 0;
    case KWM_GETDATA: {
        auto* out = reinterpret_cast<std::vector<uint8_t>*>(lParam);
        out->clear();
        if (state && state->arrived) {
            size_t count = state->arrived->size();
            if (static_cast<size_t>(wParam) < count)
                count = static_cast<size_t>(wParam);
            out->assign(state->arrived->begin(), state->arrived->begin() + static_cast<std::ptrdiff_t>(count));
        }
        return 0;
    }
    case KWM_SOCKET:
        if (state && static_cast<SOCKET>(wParam) == state->socket && WSAGETSELECTEVENT(lParam) == FD_READ)
            Receive(hWnd, *state);
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
    SendMessage(KWM_SETREMOTEHOST, 0, reinterpret_cast<LPARAM>(host));
}

void CMSWinsockControl::SetRemotePort(long port)
{
    SendMessage(KWM_SETREMOTEPORT, static_cast<WPARAM>(port));
}

void CMSWinsockControl::SetLocalPort(long port)
{
    SendMessage(KWM_SETLOCALPORT, static_cast<WPARAM>(port));
}

void CMSWinsockControl::SendData(const std::vector<uint8_t>& data)
{
    SendMessage(KWM_SENDDATA, data.size(), reinterpret_cast<LPARAM>(data.data()));
}

void CMSWinsockControl::GetData(std::vector<uint8_t>& data, long maxLength)
{
    data.clear();
    if (maxLength > 0)
        SendMessage(KWM_GETDATA, static_cast<WPARAM>(maxLength), reinterpret_cast<LPARAM>(&data));
}
