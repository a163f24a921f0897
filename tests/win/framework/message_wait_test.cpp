// The wait that keeps a window answering: it lasts its time, dispatches what arrives meanwhile,
// and survives a quit request without spinning or swallowing it. (Its event ends the waits of every
// connect and send of the firmware upload, which the end-to-end tests run.)
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

TEST(UserInputQueueFlags, TouchAndPenCountWhereTheSystemQueuesThemApart)
{
    constexpr UINT kTouchAndPen = 0x0800 | 0x1000;  // QS_TOUCH | QS_POINTER (Windows 8 and later)
    ::SetLastError(ERROR_SUCCESS);
    ::GetQueueStatus(QS_INPUT | kTouchAndPen);
    if (::GetLastError() == ERROR_INVALID_FLAGS)
        GTEST_SKIP() << "this system queues no touch or pen input apart";
    EXPECT_EQ(UserInputQueueFlags(), UINT{QS_INPUT | kTouchAndPen});
}
