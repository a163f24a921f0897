// The wait that keeps a window answering: it lasts its time, ends early on its event, dispatches
// what arrives meanwhile, and survives a quit request without spinning or swallowing it.
#include "message_wait.h"

#include <gtest/gtest.h>

namespace {
ULONGLONG Now()
{
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<ULONGLONG>(now.QuadPart * 1000 / frequency.QuadPart);
}

ULONGLONG Elapsed(ULONGLONG since)
{
    return Now() - since;
}

struct TimerCounter {
    static int ticks;
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) { ++ticks; }
};
int TimerCounter::ticks = 0;
}

TEST(WaitDispatchingMessages, LastsItsTimeWhileDispatching)
{
    TimerCounter::ticks = 0;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &TimerCounter::OnTick);
    ULONGLONG start = Now();
    EXPECT_FALSE(WaitDispatchingMessages(nullptr, nullptr, 300));
    ULONGLONG took = Elapsed(start);
    ::KillTimer(nullptr, timer);
    EXPECT_GE(took, 300u);
    EXPECT_LT(took, 400u);
    EXPECT_GE(TimerCounter::ticks, 5) << "timer messages were dispatched during the wait";
}

TEST(WaitDispatchingMessages, EndsWhenItsEventIsSignalled)
{
    HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    ::SetEvent(event);
    ULONGLONG start = Now();
    EXPECT_TRUE(WaitDispatchingMessages(nullptr, event, 5000));
    EXPECT_LT(Elapsed(start), 100u);
    ::ResetEvent(event);
    EXPECT_FALSE(WaitDispatchingMessages(nullptr, event, 50));
    ::CloseHandle(event);
}

TEST(WaitDispatchingMessages, AQuitRequestIsKeptAndTheWaitStillLasts)
{
    ::PostQuitMessage(7);
    ULONGLONG start = Now();
    EXPECT_FALSE(WaitDispatchingMessages(nullptr, nullptr, 200));
    EXPECT_GE(Elapsed(start), 200u);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}
