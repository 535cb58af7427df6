// Frame pacing: holds the programs to at most 60 frames per second.
#pragma once
#include <cstdint>

// One sixtieth of a second in nanoseconds (rounded up, so 60 intervals are
// never shorter than a second).
constexpr int64_t FRAME_INTERVAL_NS = 16666667;

// The clock the pacing runs on: a monotonic time in nanoseconds and a wait
// until a deadline. The wait may return early or late; it returns false
// when it ended early for an event, which the loop then handles first.
struct pacing_clock {
    int64_t (*now_ns)();
    bool (*wait_until)(int64_t deadline_ns);
};

// When the last frame started; `started` is false before the first frame.
struct frame_pacer {
    int64_t last_start_ns = 0;
    bool started = false;
};

// Waits until at least FRAME_INTERVAL_NS have passed since the last frame's
// start (not at all for the first frame, or after a frame that ran late),
// then makes now the start of the next frame and returns true. Returns false
// without starting a frame when the wait ended for an event.
bool pace_frame(frame_pacer& pacer, const pacing_clock& clock);

// The monotonic clock of the C++ library.
int64_t system_now_ns();
