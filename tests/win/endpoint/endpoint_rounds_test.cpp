// How the UDP endpoint reads its socket: in rounds, each started by one notification and ended by
// the clock or the queue, with a paint on the spot when the hosting window waits for one, and a
// receive error that lasts never keeping the window busy. Datagrams go over loopback only.
#include "config_dialog_runner.h"
#include "import_patch.h"
#include "sim_peer.h"

#include "net/socket_handle.h"
#include "net/winsock_control.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mswsock.h>

#include <string>
#include <thread>
#include <vector>

namespace {
constexpr u_short kTestPort = 48790;
constexpr char kProperties[] = "Protocol=UDP;RemoteHost=127.0.0.1;RemotePort=48791;LocalPort=48790";

// The window hosting the endpoint: counts deliveries and, when asked, invalidates itself at each as
// a dialog's counter does, noting whether its paints come while the endpoint is reading.
struct HostState {
    std::atomic<int> delivered{0};
    bool invalidateOnDelivery = false;
    bool inEndpoint = false;
    int paintsWhileReading = 0;
    DWORD slowDeliveryMs = 0;
};
HostState g_host;
WNDPROC g_endpointProc = nullptr;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == KWM_DATAARRIVAL) {
        ++g_host.delivered;
        if (g_host.invalidateOnDelivery)
            ::InvalidateRect(hWnd, nullptr, FALSE);
        if (g_host.slowDeliveryMs)
            ::Sleep(g_host.slowDeliveryMs);
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        ::BeginPaint(hWnd, &ps);
        ::EndPaint(hWnd, &ps);
        if (g_host.inEndpoint)
            ++g_host.paintsWhileReading;
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// Wrapped around the endpoint's own window procedure: tells the host when the endpoint is at work.
LRESULT CALLBACK WatchedEndpointProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool outer = !g_host.inEndpoint;
    g_host.inEndpoint = true;
    LRESULT result = ::CallWindowProcA(g_endpointProc, hWnd, message, wParam, lParam);
    if (outer)
        g_host.inEndpoint = false;
    return result;
}

class EndpointRounds : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("KVR_PRINTER_NS"))
            GTEST_SKIP() << "needs the private network (run inside tools/netns-run.sh)";
        StartUpLikeTheTool();
        g_host.delivered = 0;
        g_host.invalidateOnDelivery = false;
        g_host.paintsWhileReading = 0;
        g_host.slowDeliveryMs = 0;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "KvrEndpointTestHost";
        ::RegisterClassA(&wc);
        m_host = ::CreateWindowExA(0, wc.lpszClassName, "endpoint host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        m_endpoint = ::CreateWindowExA(0, KVR_WINSOCK_CLASS, kProperties, WS_CHILD, 0, 0, 0, 0, m_host,
                                       reinterpret_cast<HMENU>(1000), wc.hInstance, nullptr);
        ASSERT_TRUE(m_endpoint);
        g_endpointProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(m_endpoint, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchedEndpointProc)));
        m_sender.Reset(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    }
    void TearDown() override
    {
        if (m_host)
            ::DestroyWindow(m_host);
        DrainQueue();
    }

    void Send(int count, u_short port = kTestPort)
    {
        sockaddr_in to = {};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < count; ++i)
            ::sendto(m_sender.Get(), "IMIN", 4, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }

    // Dispatches the thread's messages one at a time until pred holds (checked after each) or
    // timeoutMs has passed; the messages behind stay queued.
    template <class Pred>
    bool DispatchUntil(Pred pred, DWORD timeoutMs)
    {
        DWORD start = ::GetTickCount();
        while (!pred() && ::GetTickCount() - start < timeoutMs) {
            MSG msg;
            if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            else
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return pred();
    }

    // Removes the endpoint's queued socket notifications (its private messages); returns how many.
    int TakeQueuedNotifications()
    {
        int count = 0;
        MSG msg;
        while (::PeekMessageA(&msg, m_endpoint, WM_APP, WM_APP + 0xFF, PM_REMOVE))
            ++count;
        return count;
    }

    static void DrainQueue()
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    }

    HWND m_host = nullptr;
    HWND m_endpoint = nullptr;
    UniqueSocket m_sender;
};

std::atomic<int> g_receiveCalls{0};
int WSAAPI FailingRecvFrom(SOCKET, char*, int, int, sockaddr*, int*)
{
    ++g_receiveCalls;
    ::WSASetLastError(WSAENETDOWN);
    return SOCKET_ERROR;
}

std::vector<std::string> g_socketCalls;
template <class Function>
Function Original(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ws2_32.dll"), name)));
}
int WSAAPI RecordingSetSockOpt(SOCKET s, int level, int name, const char* value, int length)
{
    if (level == SOL_SOCKET && name == SO_EXCLUSIVEADDRUSE)
        g_socketCalls.push_back("exclusive " + std::to_string(*reinterpret_cast<const BOOL*>(value)));
    using SetOption = int(WSAAPI*)(SOCKET, int, int, const char*, int);
    return Original<SetOption>("setsockopt")(s, level, name, value, length);
}
int WSAAPI RecordingIoctl(SOCKET s, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned,
                          LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE routine)
{
    if (code == SIO_UDP_CONNRESET || code == 0x9800000F)  // SIO_UDP_NETRESET
        g_socketCalls.push_back(std::string(code == SIO_UDP_CONNRESET ? "connreset " : "netreset ") +
                                std::to_string(*static_cast<const BOOL*>(in)));
    using Ioctl = int(WSAAPI*)(SOCKET, DWORD, void*, DWORD, void*, DWORD, DWORD*, LPWSAOVERLAPPED,
                               LPWSAOVERLAPPED_COMPLETION_ROUTINE);
    return Original<Ioctl>("WSAIoctl")(s, code, in, inSize, out, outSize, returned, overlapped, routine);
}
int WSAAPI RecordingBind(SOCKET s, const sockaddr* name, int length)
{
    g_socketCalls.push_back("bind " + std::to_string(ntohs(reinterpret_cast<const sockaddr_in*>(name)->sin_port)));
    using Bind = int(WSAAPI*)(SOCKET, const sockaddr*, int);
    return Original<Bind>("bind")(s, name, length);
}

UINT_PTR WINAPI RefusedTimer(HWND, UINT_PTR, UINT, TIMERPROC)
{
    return 0;
}
}  // namespace

TEST_F(EndpointRounds, ABurstLeavesAtMostOneNotificationQueuedAndThePendingPaintIsDoneMidway)
{
    // 1,000 datagrams, sent 100 at a time as the endpoint takes them (so that none is dropped).
    std::thread sender([this] {
        for (int sent = 0; sent < 1000; sent += 100) {
            while (g_host.delivered < sent - 100)
                ::Sleep(1);
            Send(100);
        }
    });
    ASSERT_TRUE(DispatchUntil([] { return g_host.delivered >= 1000; }, 10000)) << g_host.delivered;
    sender.join();
    EXPECT_LE(TakeQueuedNotifications(), 1);

    // Shown, and invalidated by every delivery: the window is painted while the burst is read.
    ::ShowWindow(m_host, SW_SHOWNA);
    ::UpdateWindow(m_host);
    g_host.invalidateOnDelivery = true;
    g_host.delivered = 0;
    Send(200);
    ASSERT_TRUE(DispatchUntil([] { return g_host.delivered >= 200; }, 5000)) << g_host.delivered;
    EXPECT_GE(g_host.paintsWhileReading, 1);
}

TEST_F(EndpointRounds, ALastingReceiveErrorIsRetriedAfterAPauseNotAtOnce)
{
    g_receiveCalls = 0;
    ImportPatch failing("ws2_32.dll", "recvfrom", reinterpret_cast<void*>(&FailingRecvFrom));
    ASSERT_TRUE(failing.Applied());
    Send(1);
    DispatchUntil([] { return false; }, 1000);
    EXPECT_GE(g_receiveCalls, 1);
    EXPECT_LE(g_receiveCalls, 10) << "one read per back-off, a few a second";
}

TEST_F(EndpointRounds, WithoutATimerToResumeByTheReadingGoesOnByNotifications)
{
    // Each delivery takes 1 ms: a round ends by the clock with datagrams left, and the system
    // refuses the timer that would resume it.
    g_host.slowDeliveryMs = 1;
    ImportPatch refused("user32.dll", "SetTimer", reinterpret_cast<void*>(&RefusedTimer));
    ASSERT_TRUE(refused.Applied());
    Send(300);
    EXPECT_TRUE(DispatchUntil([] { return g_host.delivered >= 300; }, 5000)) << g_host.delivered;
}

TEST_F(EndpointRounds, TheToolPortIsBoundForTheEndpointAloneWithReportsOfEarlierSendsOff)
{
    g_socketCalls.clear();
    {
        ImportPatch option("ws2_32.dll", "setsockopt", reinterpret_cast<void*>(&RecordingSetSockOpt));
        ImportPatch ioctl("ws2_32.dll", "WSAIoctl", reinterpret_cast<void*>(&RecordingIoctl));
        ImportPatch bind("ws2_32.dll", "bind", reinterpret_cast<void*>(&RecordingBind));
        ASSERT_TRUE(option.Applied() && ioctl.Applied() && bind.Applied());
        ::CreateWindowExA(0, KVR_WINSOCK_CLASS, "Protocol=UDP;LocalPort=48792", WS_CHILD, 0, 0, 0, 0, m_host,
                          reinterpret_cast<HMENU>(1001), nullptr, nullptr);
    }
    EXPECT_EQ(g_socketCalls, (std::vector<std::string>{"exclusive 1", "connreset 0", "netreset 0", "bind 48792"}));
}

TEST_F(EndpointRounds, AnEndpointThatOnlySendsIsToldOfNothingItReceives)
{
    ::CreateWindowExA(0, KVR_WINSOCK_CLASS, "Protocol=UDP;LocalPort=48793;SendOnly=1", WS_CHILD, 0, 0, 0, 0, m_host,
                      reinterpret_cast<HMENU>(1001), nullptr, nullptr);
    Send(5, 48793);
    DispatchUntil([] { return false; }, 300);
    EXPECT_EQ(g_host.delivered, 0);
}
