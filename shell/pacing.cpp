// Frame pacing: the wait until the next sixtieth of a second.
#include "shell/pacing.h"

#include <chrono>

bool pace_frame(frame_pacer& pacer, const pacing_clock& clock)
{
    int64_t now = clock.now_ns();
    if (pacer.started) {
        const int64_t deadline = pacer.last_start_ns + FRAME_INTERVAL_NS;
        // A wait can end early (signals, coarse timers): look again until
        // the deadline has really passed.
        while (now < deadline) {
            if (!clock.wait_until(deadline)) return false;
            now = clock.now_ns();
        }
    }
    pacer.started = true;
    pacer.last_start_ns = now;
    return true;
}

int64_t system_now_ns()
{
    return (int64_t)std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
