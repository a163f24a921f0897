// A broadcast out of each of two adapters, as the socket layer is asked for it: recorded at the
// calls themselves (the copies still go out, into the private namespaces).
#include "config_dialog_runner.h"
#include "import_patch.h"

#include "net/winsock_control.h"

#include <gtest/gtest.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <mswsock.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {
std::vector<std::string> g_calls;
DWORD g_refusedMessageInterface = 0;  // WSASendMsg fails for this interface
DWORD g_refusedOption = 0;            // IP_UNICAST_IF fails for this interface
std::string g_refusedDestination;     // sendto fails for this one

// The socket layer's own functions: the test's calls go through the patched imports too.
template <class Function>
Function Original(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ws2_32.dll"), name)));
}

std::string AddressText(in_addr address)
{
    return inet_ntoa(address);
}

int WSAAPI RecordingSendMsg(SOCKET s, LPWSAMSG message, DWORD flags, LPDWORD sent, LPWSAOVERLAPPED overlapped,
                            LPWSAOVERLAPPED_COMPLETION_ROUTINE routine)
{
    const auto* to = reinterpret_cast<const sockaddr_in*>(message->name);
    sockaddr_in local = {};
    int length = sizeof local;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    std::string call = "msg " + AddressText(to->sin_addr) + ":" + std::to_string(ntohs(to->sin_port)) + " port " +
                       std::to_string(ntohs(local.sin_port));
    DWORD index = 0;
    for (WSACMSGHDR* h = WSA_CMSG_FIRSTHDR(message); h; h = WSA_CMSG_NXTHDR(message, h)) {
        if (h->cmsg_level == IPPROTO_IP && h->cmsg_type == IP_PKTINFO) {
            const auto* info = reinterpret_cast<const IN_PKTINFO*>(WSA_CMSG_DATA(h));
            index = info->ipi_ifindex;
            call += " from " + AddressText(info->ipi_addr) + " on " + std::to_string(index);
        }
    }
    g_calls.push_back(call);
    if (index == g_refusedMessageInterface) {
        ::WSASetLastError(WSAEOPNOTSUPP);
        return SOCKET_ERROR;
    }
    using SendMsg = int(WSAAPI*)(SOCKET, LPWSAMSG, DWORD, LPDWORD, LPWSAOVERLAPPED, LPWSAOVERLAPPED_COMPLETION_ROUTINE);
    return Original<SendMsg>("WSASendMsg")(s, message, flags, sent, overlapped, routine);
}

int WSAAPI RecordingSetSockOpt(SOCKET s, int level, int name, const char* value, int length)
{
    if (level == IPPROTO_IP && name == IP_UNICAST_IF) {
        DWORD index = ntohl(*reinterpret_cast<const DWORD*>(value));
        g_calls.push_back("if " + std::to_string(index));
        if (index != 0 && index == g_refusedOption) {
            ::WSASetLastError(WSAEINVAL);
            return SOCKET_ERROR;
        }
    }
    using SetOption = int(WSAAPI*)(SOCKET, int, int, const char*, int);
    return Original<SetOption>("setsockopt")(s, level, name, value, length);
}

int WSAAPI RecordingSendTo(SOCKET s, const char* data, int length, int flags, const sockaddr* to, int toLength)
{
    const auto* address = reinterpret_cast<const sockaddr_in*>(to);
    std::string destination = AddressText(address->sin_addr) + ":" + std::to_string(ntohs(address->sin_port));
    g_calls.push_back("to " + destination);
    if (destination == g_refusedDestination) {
        ::WSASetLastError(WSAENETUNREACH);
        return SOCKET_ERROR;
    }
    using SendTo = int(WSAAPI*)(SOCKET, const char*, int, int, const sockaddr*, int);
    return Original<SendTo>("sendto")(s, data, length, flags, to, toLength);
}

DWORD InterfaceTowards(const char* address)
{
    DWORD index = 0;
    ::GetBestInterface(inet_addr(address), &index);
    return index;
}

class TwoAdapters : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("KVR_SECOND_ADAPTER"))
            GTEST_SKIP() << "needs a second adapter in the private network (with_second_adapter.sh)";
        StartUpLikeTheTool();
        g_calls.clear();
        g_refusedMessageInterface = g_refusedOption = 0;
        g_refusedDestination.clear();
        m_first = InterfaceTowards("10.77.0.5");
        m_second = InterfaceTowards("10.79.0.5");
        ASSERT_NE(m_first, 0u);
        ASSERT_NE(m_second, 0u);
        ASSERT_NE(m_first, m_second);
        m_host = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        m_control.m_hWnd = ::CreateWindowExA(0, KVR_WINSOCK_CLASS, KVR_WINSOCK_INITIAL_PROPERTIES, WS_CHILD, 0, 0, 0,
                                             0, m_host, reinterpret_cast<HMENU>(1000), nullptr, nullptr);
        ASSERT_TRUE(m_control.m_hWnd) << "host " << m_host << " error " << ::GetLastError();
    }
    void TearDown() override
    {
        if (m_host)
            ::DestroyWindow(m_host);
    }

    // Sends one "FIND" with the socket layer's calls recorded; the calls, in order.
    std::vector<std::string> Broadcast()
    {
        ImportPatch sendMsg("ws2_32.dll", "WSASendMsg", reinterpret_cast<void*>(&RecordingSendMsg));
        ImportPatch option("ws2_32.dll", "setsockopt", reinterpret_cast<void*>(&RecordingSetSockOpt));
        ImportPatch sendTo("ws2_32.dll", "sendto", reinterpret_cast<void*>(&RecordingSendTo));
        EXPECT_TRUE(sendMsg.Applied() && option.Applied() && sendTo.Applied());
        m_control.SendData({'F', 'I', 'N', 'D'});
        return g_calls;
    }

    // The per-adapter calls in the order the adapters are listed, whichever comes first.
    static std::vector<std::string> InListedOrder(const std::vector<std::string>& calls,
                                                  std::vector<std::string> first, std::vector<std::string> second)
    {
        bool secondFirst = !calls.empty() && calls[0] == second[0];
        std::vector<std::string> expected = secondFirst ? second : first;
        for (const std::string& call : secondFirst ? first : second)
            expected.push_back(call);
        expected.push_back("if 0");
        return expected;
    }

    DWORD m_first = 0, m_second = 0;
    HWND m_host = nullptr;
    CMSWinsockControl m_control;
};
}  // namespace

TEST_F(TwoAdapters, EachGetsOneLimitedBroadcastFromItsAddressAndTheToolPort)
{
    std::vector<std::string> calls = Broadcast();
    const std::string a = std::to_string(m_first), b = std::to_string(m_second);
    EXPECT_EQ(calls, InListedOrder(calls, {"if " + a, "msg 255.255.255.255:48781 port 48780 from 10.77.0.1 on " + a},
                                   {"if " + b, "msg 255.255.255.255:48781 port 48780 from 10.79.0.1 on " + b}));
    EXPECT_EQ(m_control.UnsentCount(), 0);
}

TEST_F(TwoAdapters, ACopyTheSystemRefusesGoesToTheSubnetBroadcastWithNoInterfaceChosenAndIsCountedIfThatFails)
{
    // The first adapter's send fails after its interface was chosen; the second's option fails,
    // and so does its subnet broadcast.
    g_refusedMessageInterface = m_first;
    g_refusedOption = m_second;
    g_refusedDestination = "10.79.15.255:48781";
    std::vector<std::string> calls = Broadcast();
    const std::string a = std::to_string(m_first), b = std::to_string(m_second);
    EXPECT_EQ(calls, InListedOrder(calls,
                                   {"if " + a, "msg 255.255.255.255:48781 port 48780 from 10.77.0.1 on " + a, "if 0",
                                    "to 10.77.0.255:48781"},
                                   {"if " + b, "if 0", "to 10.79.15.255:48781"}));
    EXPECT_EQ(m_control.UnsentCount(), 1);
}
