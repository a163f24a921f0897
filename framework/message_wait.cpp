#include "message_wait.h"

#include <mmsystem.h>

namespace {
ULONGLONG NowMs()
{
    return ::GetTickCount64();
}

// The rest of a wait once a WM_QUIT is pending: a message wait would return at once, forever.
bool WaitWithoutMessages(HANDLE event, DWORD timeoutMs)
{
    if (!event) {
        ::Sleep(timeoutMs);
        return false;
    }
    return ::WaitForSingleObject(event, timeoutMs) == WAIT_OBJECT_0;
}
}

bool WaitDispatchingMessages(HWND dialog, HANDLE event, DWORD timeoutMs)
{
    const ULONGLONG deadline = NowMs() + timeoutMs;
    const DWORD handles = event ? 1 : 0;
    for (;;) {
        ULONGLONG now = NowMs();
        DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        DWORD result = ::MsgWaitForMultipleObjectsEx(handles, event ? &event : nullptr, left, QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
        if (event && result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + handles)
            return false;  // time is up (or the wait itself failed: nothing to wait for then)
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                now = NowMs();
                return WaitWithoutMessages(event, now < deadline ? static_cast<DWORD>(deadline - now) : 0);
            }
            if (dialog && ::IsWindow(dialog) && ::IsDialogMessageA(dialog, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (event && ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0)
            return true;
    }
}

CPreciseTiming::CPreciseTiming() : m_bActive(::timeBeginPeriod(1) == TIMERR_NOERROR)
{
}

CPreciseTiming::~CPreciseTiming()
{
    if (m_bActive)
        ::timeEndPeriod(1);
}
