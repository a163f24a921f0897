#include <winsock2.h>

#include "printer_search.h"

#include "../net/datagram_frame.h"
#include "../net/winsock_control.h"
#include "../net/socket_handle.h"

#include <windows.h>

namespace {
constexpr ULONGLONG kSearchMs = 3100;   // as long as the search dialog's 31 ticks
constexpr int kEndpointId = 1000;
constexpr const char kHostClass[] = "KvrCtlSearchHost";

// The endpoint's host: a message-only window (never on screen) that takes each reply.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == KWM_DATAARRIVAL) {
        auto* printers = reinterpret_cast<std::vector<PrinterRecord>*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        CMSWinsockControl endpoint;
        endpoint.m_hWnd = ::GetDlgItem(window, static_cast<int>(wParam));
        std::vector<uint8_t> data;
        endpoint.GetData(data, static_cast<long>(lParam));
        PrinterRecord record;
        if (printers && ParseFindReply(data.data(), data.size(), record))
            printers->push_back(record);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// Whether the tool's UDP port can be bound now. The endpoint would tell a port in use with a box;
// a console command says it on standard error instead, before the endpoint is made.
int ToolPortBindError()
{
    UniqueSocket probe(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!probe.Valid())
        return ::WSAGetLastError();
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(kToolUdpPort));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(probe.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return ::WSAGetLastError();
    return 0;
}

struct SocketLayer {
    int error;
    SocketLayer()
    {
        WSADATA data;
        error = ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~SocketLayer()
    {
        if (error == 0)
            ::WSACleanup();
    }
};
}

bool SearchPrinters(std::vector<PrinterRecord>& printers, std::string& problem)
{
    printers.clear();
    SocketLayer sockets;
    if (sockets.error != 0) {
        problem = "the socket layer did not start (error " + std::to_string(sockets.error) + ")";
        return false;
    }
    if (int error = ToolPortBindError()) {
        problem = error == WSAEADDRINUSE
                      ? "UDP port " + std::to_string(kToolUdpPort) + " is in use by another program (error 10048)"
                      : "UDP port " + std::to_string(kToolUdpPort) + " cannot be bound (error " + std::to_string(error) + ")";
        return false;
    }
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    RegisterWinsockControlClass(instance);
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = HostProc;
    hostClass.hInstance = instance;
    hostClass.lpszClassName = kHostClass;
    ::RegisterClassA(&hostClass);
    HWND host = ::CreateWindowExA(0, kHostClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, &printers);
    if (!host) {
        problem = "no window for the endpoint (error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    CMSWinsockControl endpoint;
    endpoint.m_hWnd = ::CreateWindowExA(0, KVR_WINSOCK_CLASS, KVR_WINSOCK_INITIAL_PROPERTIES, WS_CHILD, 0, 0, 0, 0, host,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEndpointId)), instance, nullptr);
    if (!endpoint.m_hWnd) {
        problem = "no endpoint (error " + std::to_string(::GetLastError()) + ")";
        ::DestroyWindow(host);
        return false;
    }
    // As the search dialog opens: host, port, local port, then one "FIND" on every adapter.
    endpoint.SetRemoteHost(kBroadcastHost);
    endpoint.SetRemotePort(kPrinterUdpPort);
    endpoint.SetLocalPort(kToolUdpPort);
    endpoint.SendData(MakeFindRequest());
    const ULONGLONG end = ::GetTickCount64() + kSearchMs;
    for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    ::DestroyWindow(host);   // and the endpoint with its socket
    return true;
}
