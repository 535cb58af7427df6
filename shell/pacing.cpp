// Frame pacing: the wait until the next sixtieth of a second.
#include "shell/pacing.h"

#include <chrono>
#include <thread>

namespace {

int64_t steady_now_ns()
{
    return (int64_t)std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void thread_sleep_ns(int64_t ns)
{
    if (ns > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
}

const pacing_clock system_clock_instance = {steady_now_ns, thread_sleep_ns};

}  // namespace

const pacing_clock& system_pacing_clock()
{
    return system_clock_instance;
}

int64_t wait_for_next_frame(int64_t frame_start_ns, const pacing_clock& clock)
{
    const int64_t deadline = frame_start_ns + FRAME_INTERVAL_NS;
    int64_t now = clock.now_ns();
    // A sleep can end early (signals, coarse timers): look again until the
    // deadline has really passed.
    while (now < deadline) {
        clock.sleep_ns(deadline - now);
        now = clock.now_ns();
    }
    return now;
}
