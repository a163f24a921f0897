#include "message_wait.h"

#include <mmsystem.h>

namespace {
// Milliseconds from the performance counter: the tick count can lag by a whole scheduler tick, which
// would end a pause early or late by as much.
ULONGLONG NowMs()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<ULONGLONG>(now.QuadPart / frequency * 1000 + now.QuadPart % frequency * 1000 / frequency);
}

// The rest of a wait once a WM_QUIT is pending: a message wait would return at once, forever.
bool WaitWithoutMessages(HANDLE event, ULONGLONG deadline)
{
    for (ULONGLONG now = NowMs(); now < deadline; now = NowMs()) {
        DWORD left = static_cast<DWORD>(deadline - now);
        if (!event)
            ::Sleep(left);
        else if (::WaitForSingleObject(event, left) == WAIT_OBJECT_0)
            return true;
    }
    return false;
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
        if (result == WAIT_TIMEOUT) {
            if (NowMs() < deadline)
                continue;  // the system's wait ended a little before our clock's deadline
            return false;
        }
        if (result != WAIT_OBJECT_0 + handles)
            return false;  // the wait itself failed: there is nothing to wait for
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return WaitWithoutMessages(event, deadline);
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

UINT UserInputQueueFlags()
{
    // The build's headers leave touch and pen out of QS_INPUT; the system says whether it knows them.
    static const UINT flags = [] {
        constexpr UINT kTouchAndPen = 0x0800 | 0x1000;  // QS_TOUCH | QS_POINTER
        ::SetLastError(ERROR_SUCCESS);
        ::GetQueueStatus(QS_INPUT | kTouchAndPen);
        return ::GetLastError() == ERROR_INVALID_FLAGS ? UINT{QS_INPUT} : UINT{QS_INPUT | kTouchAndPen};
    }();
    return flags;
}
