// kvrrecvbench: how fast a program in this Wine prefix can take a burst of printer replies.
//
//   kvrrecvbench.exe minimal|endpoint|texts COUNT TIMEOUT_MS
//
// Binds UDP 48780, broadcasts "FIND" to 48781 and counts the "IMIN" replies until COUNT have come
// or TIMEOUT_MS have passed since the request. Prints one line:
//   received N first_ms last_ms notifications
// (times from the request). "minimal" is the least a Winsock program can do: a message-only
// window, WSAAsyncSelect, one recvfrom per notification; it is the limit kvrconfig is measured
// against. "endpoint" receives through kvrconfig's own UDP endpoint control, with a window that
// only counts, so that what the search dialog adds on top shows apart.
#include <winsock2.h>
#include <windows.h>

#include "net/datagram_frame.h"
#include "net/winsock_control.h"
#include "net/winsock_control_class.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kSocketMessage = WM_APP + 1;
constexpr UINT_PTR kTimeoutTimer = 1;
constexpr int kEndpointId = 1000;

LARGE_INTEGER g_frequency;
LARGE_INTEGER g_requestAt;
long g_wanted = 0;
long g_received = 0;
long g_notifications = 0;
bool g_texts = false;
HWND g_status = nullptr;
HWND g_counter = nullptr;
double g_firstMs = -1;
double g_lastMs = -1;
SOCKET g_socket = INVALID_SOCKET;
CMSWinsockControl g_endpoint;

double SinceRequestMs()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - g_requestAt.QuadPart) * 1000.0 / static_cast<double>(g_frequency.QuadPart);
}

void Count(const char* data, int length)
{
    if (length < 5 || std::memcmp(data, "IMIN", 4) != 0)
        return;
    double now = SinceRequestMs();
    if (g_firstMs < 0)
        g_firstMs = now;
    g_lastMs = now;
    if (++g_received >= g_wanted)
        ::PostQuitMessage(0);
}

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kSocketMessage) {
        ++g_notifications;
        char buffer[512];
        int received = ::recvfrom(g_socket, buffer, sizeof buffer, 0, nullptr, nullptr);
        if (received != SOCKET_ERROR)
            Count(buffer, received);
        return 0;
    }
    if (message == WM_TIMER && wParam == kTimeoutTimer) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK EndpointHostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == KWM_DATAARRIVAL) {
        ++g_notifications;
        std::vector<uint8_t> datagram;
        g_endpoint.GetData(datagram, static_cast<long>(lParam));
        Count(reinterpret_cast<const char*>(datagram.data()), static_cast<int>(datagram.size()));
        if (g_texts) {
            char text[16];
            std::snprintf(text, sizeof text, "%ld", g_received);
            ::SetWindowTextA(g_status, "Now Searching.");
            ::SetWindowTextA(g_counter, text);
        }
        return 0;
    }
    return MinimalProc(hwnd, message, wParam, lParam);
}

bool StartMinimal(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = instance;
    wc.lpszClassName = "KvrRecvBenchMinimal";
    ::RegisterClassA(&wc);
    HWND window = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    g_socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    BOOL yes = TRUE;
    ::setsockopt(g_socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&yes), sizeof yes);
    int receiveBuffer = 4 * 1024 * 1024;  // as the tool's endpoint asks
    ::setsockopt(g_socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&receiveBuffer), sizeof receiveBuffer);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<u_short>(kToolUdpPort));
    if (::bind(g_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        std::printf("cannot bind: %d\n", ::WSAGetLastError());
        return false;
    }
    ::WSAAsyncSelect(g_socket, window, kSocketMessage, FD_READ);
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<u_short>(kPrinterUdpPort));
    remote.sin_addr.s_addr = INADDR_BROADCAST;
    std::vector<uint8_t> find = MakeFindRequest();
    ::QueryPerformanceCounter(&g_requestAt);
    ::sendto(g_socket, reinterpret_cast<const char*>(find.data()), static_cast<int>(find.size()), 0,
             reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
    return true;
}

HWND StartEndpoint(HINSTANCE instance)
{
    RegisterWinsockControlClass(instance);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = EndpointHostProc;
    wc.hInstance = instance;
    wc.lpszClassName = "KvrRecvBenchHost";
    ::RegisterClassA(&wc);
    HWND host = ::CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    g_status = ::CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 10, host, nullptr, instance, nullptr);
    g_counter = ::CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | ES_READONLY, 0, 10, 30, 10, host, nullptr, instance,
                                nullptr);
    g_endpoint.m_hWnd = ::CreateWindowA(KVR_WINSOCK_CLASS, KVR_WINSOCK_INITIAL_PROPERTIES, WS_CHILD, 0, 0, 1, 1, host,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEndpointId)), instance, nullptr);
    ::QueryPerformanceCounter(&g_requestAt);
    g_endpoint.SendData(MakeFindRequest());
    return host;
}

}  // namespace

int main(int argc, char** argv)
{
    g_texts = argc == 4 && std::strcmp(argv[1], "texts") == 0;
    if (argc != 4 || (std::strcmp(argv[1], "minimal") != 0 && std::strcmp(argv[1], "endpoint") != 0 && !g_texts)) {
        std::printf("usage: kvrrecvbench minimal|endpoint|texts COUNT TIMEOUT_MS\n");
        return 2;
    }
    g_wanted = std::atol(argv[2]);
    UINT timeoutMs = static_cast<UINT>(std::atol(argv[3]));
    ::QueryPerformanceFrequency(&g_frequency);
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HWND timerWindow;
    if (std::strcmp(argv[1], "minimal") == 0) {
        if (!StartMinimal(instance))
            return 1;
        timerWindow = ::FindWindowExA(HWND_MESSAGE, nullptr, "KvrRecvBenchMinimal", nullptr);
    } else {
        timerWindow = StartEndpoint(instance);
    }
    ::SetTimer(timerWindow, kTimeoutTimer, timeoutMs, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    std::printf("received %ld %.1f %.1f %ld\n", g_received, g_firstMs, g_lastMs, g_notifications);
    std::fflush(stdout);
    return 0;
}
