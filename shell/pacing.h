// Frame pacing: holds the programs to at most 60 frames per second.
#pragma once
#include <cstdint>

// One sixtieth of a second in nanoseconds (rounded up, so 60 intervals are
// never shorter than a second).
constexpr int64_t FRAME_INTERVAL_NS = 16666667;

// The clock the pacing runs on: a monotonic time in nanoseconds and a sleep.
// The sleep may return early or late; the wait checks the clock again.
struct pacing_clock {
    int64_t (*now_ns)();
    void (*sleep_ns)(int64_t ns);
};

// The monotonic clock of the C++ library with a thread sleep.
const pacing_clock& system_pacing_clock();

// Returns once at least FRAME_INTERVAL_NS have passed since frame_start_ns,
// sleeping for the rest of the interval when the frame finished early and
// not at all when it ran late. Returns the clock's time on return, which is
// the start of the next frame.
int64_t wait_for_next_frame(int64_t frame_start_ns, const pacing_clock& clock);
