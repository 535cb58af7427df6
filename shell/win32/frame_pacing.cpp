// Frame pacing on Windows: a waitable timer that also wakes for messages.
#include "shell/win32/frame_pacing.h"

#include <windows.h>

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// One frame period in 100-nanosecond units: 1/60 s.
constexpr LONGLONG FRAME_PERIOD_100NS = 10000000 / 60;

HANDLE frame_timer;
LONGLONG frame_deadline;  // in 100 ns units of the performance counter's time
LARGE_INTEGER counter_frequency;

LONGLONG now_100ns()
{
    if (counter_frequency.QuadPart == 0) QueryPerformanceFrequency(&counter_frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const LONGLONG seconds = now.QuadPart / counter_frequency.QuadPart;
    const LONGLONG rest = now.QuadPart % counter_frequency.QuadPart;
    return seconds * 10000000 + rest * 10000000 / counter_frequency.QuadPart;
}

HANDLE timer()
{
    if (frame_timer == NULL) {
        // A high-resolution timer keeps the wait close to 1/60 s where the
        // system's default timer granularity is coarser than a frame.
        frame_timer = CreateWaitableTimerExW(NULL, NULL, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                             TIMER_ALL_ACCESS);
        if (frame_timer == NULL)
            frame_timer = CreateWaitableTimerExW(NULL, NULL, 0, TIMER_ALL_ACCESS);
    }
    return frame_timer;
}

}  // namespace

bool wait_for_frame_tick()
{
    const LONGLONG remaining = frame_deadline - now_100ns();
    if (remaining <= 0) return true;
    HANDLE handle = timer();
    if (handle == NULL) return true;
    LARGE_INTEGER due;
    due.QuadPart = -remaining;  // negative: relative to now
    if (!SetWaitableTimer(handle, &due, 0, NULL, NULL, FALSE)) return true;
    const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    CancelWaitableTimer(handle);
    return frame_deadline - now_100ns() <= 0;
}

void start_frame_period()
{
    const LONGLONG now = now_100ns();
    frame_deadline += FRAME_PERIOD_100NS;
    // After a slow frame (or at the first one) start counting from now
    // instead of racing to catch up.
    if (frame_deadline < now) frame_deadline = now + FRAME_PERIOD_100NS;
}
