// Waiting on the user-interface thread without freezing the window: the thread's messages are
// dispatched during the wait (painting, timers, other processes' requests), so the windows answer
// at once while a long step runs on the one thread.
#pragma once
#include <windows.h>

// Waits until `event` is signalled or `timeoutMs` have passed, whichever comes first; `event` may be
// null for a plain pause. Messages that arrive meanwhile are dispatched, keyboard messages through
// the dialog `dialog` (its Esc, Enter and tab handling), so a handler may be entered again during
// the wait: callers keep their own state consistent. Returns true when the event was signalled.
//
// A WM_QUIT seen during the wait is posted again and the rest of the wait dispatches nothing.
bool WaitDispatchingMessages(HWND dialog, HANDLE event, DWORD timeoutMs);

// While one exists, the system's timers and waits are exact to the millisecond (the default
// granularity on Windows is about 15 ms, which a series of fixed pauses would add up).
class CPreciseTiming {
public:
    CPreciseTiming();
    ~CPreciseTiming();
    CPreciseTiming(const CPreciseTiming&) = delete;
    CPreciseTiming& operator=(const CPreciseTiming&) = delete;

private:
    bool m_bActive;
};

// The GetQueueStatus flags of the user's input as this system counts it: keyboard and mouse, and
// touch and pen where Windows queues them apart (Windows 8 and later; earlier ones refuse the flags).
UINT UserInputQueueFlags();
