// The UDP endpoint at the socket layer's calls (recorded through its imports) and over loopback:
// reading in rounds, the socket's options, and a broadcast out of each of two adapters.
#include "config_dialog_runner.h"
#include "import_patch.h"

#include <gtest/gtest.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <mswsock.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {
std::vector<std::string> g_calls;
std::vector<std::string> g_refused;  // recorded calls that fail
std::atomic<int> g_delivered{0}, g_reads{0};
bool g_invalidate = false;
int g_deliveredAtFirstPaint = -1;
DWORD g_deliveryMs = 0;

template <class F>
F Real(const char* name)  // the test's own calls go through the patched imports too
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ws2_32.dll"), name)));
}
template <class F>
void* Fn(F f) { return reinterpret_cast<void*>(f); }
std::string At(const sockaddr* a)
{
    auto* in = reinterpret_cast<const sockaddr_in*>(a);
    return std::string(inet_ntoa(in->sin_addr)) + ":" + std::to_string(ntohs(in->sin_port));
}
bool Record(const std::string& call)
{
    g_calls.push_back(call);
    return std::find(g_refused.begin(), g_refused.end(), call) != g_refused.end();
}

int WSAAPI SendMsg(SOCKET s, LPWSAMSG m, DWORD f, LPDWORD n, LPWSAOVERLAPPED o, LPWSAOVERLAPPED_COMPLETION_ROUTINE r)
{
    sockaddr_in local = {};
    int length = sizeof local;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    auto* info = reinterpret_cast<IN_PKTINFO*>(WSA_CMSG_DATA(WSA_CMSG_FIRSTHDR(m)));
    const std::string from = inet_ntoa(info->ipi_addr);  // one buffer for every inet_ntoa
    if (Record("msg " + At(m->name) + " port " + std::to_string(ntohs(local.sin_port)) + " from " + from + " on " +
               std::to_string(info->ipi_ifindex)))
        return ::WSASetLastError(WSAEOPNOTSUPP), SOCKET_ERROR;
    return Real<decltype(&SendMsg)>("WSASendMsg")(s, m, f, n, o, r);
}
int WSAAPI SetOption(SOCKET s, int level, int name, const char* value, int length)
{
    const DWORD v = *reinterpret_cast<const DWORD*>(value);
    std::string call = name == IP_UNICAST_IF ? "if " + std::to_string(ntohl(v))
                       : name == SO_EXCLUSIVEADDRUSE ? "exclusive " + std::to_string(v) : "";
    if (!call.empty() && Record(call))
        return ::WSASetLastError(WSAEINVAL), SOCKET_ERROR;
    return Real<decltype(&SetOption)>("setsockopt")(s, level, name, value, length);
}
int WSAAPI SendTo(SOCKET s, const char* data, int length, int flags, const sockaddr* to, int toLength)
{
    if (Record("to " + At(to)))
        return ::WSASetLastError(WSAENETUNREACH), SOCKET_ERROR;
    return Real<decltype(&SendTo)>("sendto")(s, data, length, flags, to, toLength);
}
int WSAAPI Ioctl(SOCKET s, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* done, LPWSAOVERLAPPED o,
                 LPWSAOVERLAPPED_COMPLETION_ROUTINE r)
{
    Record("ioctl " + std::to_string(code & 0xFF) + " " + std::to_string(*static_cast<BOOL*>(in)));
    return Real<decltype(&Ioctl)>("WSAIoctl")(s, code, in, inSize, out, outSize, done, o, r);
}
int WSAAPI Bind(SOCKET s, const sockaddr* name, int length)
{
    Record("bind " + At(name));
    return Real<decltype(&Bind)>("bind")(s, name, length);
}
int WSAAPI FailingRecvFrom(SOCKET, char*, int, int, sockaddr*, int*)
{
    return ++g_reads, ::WSASetLastError(WSAENETDOWN), SOCKET_ERROR;
}
UINT_PTR WINAPI RefusedTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == KWM_DATAARRIVAL) {
        ++g_delivered;
        if (g_invalidate)
            ::InvalidateRect(hWnd, nullptr, FALSE);
        ::Sleep(g_deliveryMs);
        return 0;
    }
    if (message == WM_PAINT && g_invalidate && g_deliveredAtFirstPaint < 0)
        g_deliveredAtFirstPaint = g_delivered;
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

class Endpoint : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("KVR_PRINTER_NS"))
            GTEST_SKIP() << "needs the private network (run inside tools/netns-run.sh)";
        StartUpLikeTheTool();
        g_calls.clear();
        g_refused.clear();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "KvrEndpointHost";
        ::RegisterClassA(&wc);
        m_host = NewHost(HWND_MESSAGE);  // needs no display
        ASSERT_TRUE(m_host) << ::GetLastError();
    }
    void TearDown() override { ::DestroyWindow(m_host); }

    static HWND NewHost(HWND parent)
    {
        return ::CreateWindowExA(0, "KvrEndpointHost", "", parent ? 0 : WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, parent,
                                 nullptr, nullptr, nullptr);
    }
    HWND Create(const char* properties)
    {
        return m_endpoint.m_hWnd = ::CreateWindowExA(0, KVR_WINSOCK_CLASS, properties, WS_CHILD, 0, 0, 0, 0, m_host,
                                                     reinterpret_cast<HMENU>(1000), nullptr, nullptr);
    }
    static void Send(int count, u_short port = 48790)
    {
        static SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in to = {AF_INET, htons(port), {}, {}};
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < count; ++i)
            ::sendto(s, "IMIN", 4, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }
    // Dispatches one message at a time until pred holds or timeoutMs passed; the rest stay queued.
    template <class Pred>
    static bool DispatchUntil(Pred pred, DWORD timeoutMs)
    {
        for (DWORD start = ::GetTickCount(); !pred() && ::GetTickCount() - start < timeoutMs;) {
            MSG msg;
            if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            else
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return pred();
    }
    std::vector<std::string> Broadcast()
    {
        ImportPatch a("ws2_32.dll", "WSASendMsg", Fn(&SendMsg)), b("ws2_32.dll", "setsockopt", Fn(&SetOption)),
            c("ws2_32.dll", "sendto", Fn(&SendTo));
        m_endpoint.SendData({'F', 'I', 'N', 'D'});
        return g_calls;
    }

    HWND m_host = nullptr;
    CMSWinsockControl m_endpoint;
};

const char kLoopback[] = "Protocol=UDP;RemoteHost=127.0.0.1;LocalPort=48790";
}  // namespace

TEST_F(Endpoint, ABurstLeavesAtMostOneNotificationQueuedAndAPendingPaintIsDoneMidway)
{
    g_delivered = g_deliveryMs = 0;
    HWND control = Create(kLoopback);
    std::thread sender([] {  // 100 at a time as they are taken, so that none is dropped
        for (int sent = 0; sent < 1000; sent += 100) {
            while (g_delivered < sent - 100)
                ::Sleep(1);
            Send(100);
        }
    });
    ASSERT_TRUE(DispatchUntil([] { return g_delivered >= 1000; }, 10000)) << g_delivered;
    sender.join();
    int queued = 0;
    for (MSG msg; ::PeekMessageA(&msg, control, WM_APP, WM_APP + 0xFF, PM_REMOVE);)
        ++queued;
    EXPECT_LE(queued, 1);

    ::DestroyWindow(m_host);  // a shown window, painted at once
    m_host = NewHost(nullptr);
    ASSERT_TRUE(m_host) << ::GetLastError();
    Create(kLoopback);
    ::ShowWindow(m_host, SW_SHOWNA);
    ::UpdateWindow(m_host);
    g_invalidate = true;  // as a dialog's counter is at each reply
    Send(200);            // all waiting before the round starts
    ASSERT_TRUE(DispatchUntil([] { return g_delivered >= 1200; }, 5000)) << g_delivered;
    g_invalidate = false;
    EXPECT_GE(g_deliveredAtFirstPaint, 1001);
    EXPECT_LT(g_deliveredAtFirstPaint, 1200) << "painted in the middle of the burst";
}

TEST_F(Endpoint, ALastingReceiveErrorIsRetriedAfterAPauseAndWithoutATimerReadingGoesOn)
{
    g_delivered = g_reads = 0;
    Create(kLoopback);
    {
        ImportPatch failing("ws2_32.dll", "recvfrom", Fn(&FailingRecvFrom));
        Send(1);
        DispatchUntil([] { return false; }, 1000);
        EXPECT_GE(g_reads, 1);
        EXPECT_LE(g_reads, 10) << "one read per back-off, a few a second";
    }
    // 1 ms per delivery: a round ends by the clock with datagrams left, and there is no timer.
    g_deliveryMs = 1;
    ImportPatch refused("user32.dll", "SetTimer", Fn(&RefusedTimer));
    Send(300);
    EXPECT_TRUE(DispatchUntil([] { return g_delivered >= 301; }, 5000)) << g_delivered;
    g_deliveryMs = 0;
}

TEST_F(Endpoint, ThePortIsBoundForItAloneWithSendReportsOffAndASendOnlyOneReadsNothing)
{
    {
        ImportPatch a("ws2_32.dll", "setsockopt", Fn(&SetOption)), b("ws2_32.dll", "WSAIoctl", Fn(&Ioctl)),
            c("ws2_32.dll", "bind", Fn(&Bind));
        Create(kLoopback);
    }
    // 12, 15: SIO_UDP_CONNRESET, SIO_UDP_NETRESET
    EXPECT_EQ(g_calls, (std::vector<std::string>{"exclusive 1", "ioctl 12 0", "ioctl 15 0", "bind 0.0.0.0:48790"}));
    g_delivered = 0;
    Create("Protocol=UDP;LocalPort=48791;SendOnly=1");
    Send(5, 48791);
    DispatchUntil([] { return false; }, 300);
    EXPECT_EQ(g_delivered, 0);
}

TEST_F(Endpoint, TwoAdaptersGetALimitedBroadcastEachOrTheirSubnetBroadcastWithNoInterfaceChosen)
{
    if (!std::getenv("KVR_SECOND_ADAPTER"))
        GTEST_SKIP() << "needs a second adapter in the private network (with_second_adapter.sh)";
    DWORD first = 0, second = 0;
    ::GetBestInterface(inet_addr("10.77.0.5"), &first);
    ::GetBestInterface(inet_addr("10.79.0.5"), &second);
    ASSERT_TRUE(first && second && first != second);
    const std::string a = std::to_string(first), b = std::to_string(second);
    const std::string copyA = "msg 255.255.255.255:48781 port 48780 from 10.77.0.1 on " + a;
    const std::string copyB = "msg 255.255.255.255:48781 port 48780 from 10.79.0.1 on " + b;
    // In the order the system lists the adapters.
    auto listed = [](const std::vector<std::string>& calls, std::vector<std::string> x, std::vector<std::string> y) {
        if (!calls.empty() && calls[0] == y[0])
            std::swap(x, y);
        x.insert(x.end(), y.begin(), y.end());
        x.push_back("if 0");
        return x;
    };
    Create(KVR_WINSOCK_INITIAL_PROPERTIES);
    std::vector<std::string> calls = Broadcast();
    EXPECT_EQ(calls, listed(calls, {"if " + a, copyA}, {"if " + b, copyB}));
    EXPECT_EQ(m_endpoint.UnsentCount(), 0);

    // The first adapter's send is refused, then the second's option and its subnet broadcast.
    g_calls.clear();
    g_refused = {copyA, "if " + b, "to 10.79.15.255:48781"};
    calls = Broadcast();
    EXPECT_EQ(calls, listed(calls, {"if " + a, copyA, "if 0", "to 10.77.0.255:48781"},
                            {"if " + b, "if 0", "to 10.79.15.255:48781"}));
    EXPECT_EQ(m_endpoint.UnsentCount(), 1);
}
