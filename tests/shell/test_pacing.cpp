// Frame pacing against a fake clock.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "shell/pacing.h"

namespace {

// A fake clock: time moves only when the pacing waits, by the time asked
// for scaled by `wait_fraction` (below 1 wakes early), at least 1 ns; with
// `event_after` waits left, a wait ends for an event instead.
int64_t fake_time;
double wait_fraction;
int event_after;
std::vector<int64_t> waits;  // what each wait had left to wait

int64_t fake_now()
{
    return fake_time;
}

bool fake_wait(int64_t deadline)
{
    waits.push_back(deadline - fake_time);
    if (event_after == 0) {
        event_after = -1;
        fake_time += 1000;
        return false;
    }
    if (event_after > 0) --event_after;
    const int64_t step = (int64_t)((double)(deadline - fake_time) * wait_fraction);
    fake_time += step > 0 ? step : 1;
    return true;
}

const pacing_clock fake_clock = {fake_now, fake_wait};

void reset_fake(int64_t now, double fraction)
{
    fake_time = now;
    wait_fraction = fraction;
    event_after = -1;
    waits.clear();
}

// A pacer whose last frame started at `start`.
frame_pacer started_at(int64_t start)
{
    frame_pacer p;
    p.started = true;
    p.last_start_ns = start;
    return p;
}

}  // namespace

TEST(Pacing, FirstFrameStartsAtOnce)
{
    reset_fake(5000, 1.0);
    frame_pacer pacer;
    EXPECT_TRUE(pace_frame(pacer, fake_clock));
    EXPECT_TRUE(waits.empty());
    EXPECT_EQ(pacer.last_start_ns, 5000);
}

TEST(Pacing, EarlyFrameWaitsForTheRestOfTheInterval)
{
    // The frame started at 1 s and took 4 ms.
    reset_fake(1000000000 + 4000000, 1.0);
    frame_pacer pacer = started_at(1000000000);
    EXPECT_TRUE(pace_frame(pacer, fake_clock));
    ASSERT_EQ(waits.size(), 1u);
    EXPECT_EQ(waits[0], FRAME_INTERVAL_NS - 4000000);
    EXPECT_EQ(pacer.last_start_ns, 1000000000 + FRAME_INTERVAL_NS);
}

TEST(Pacing, LateOrExactFrameDoesNotWaitAndDoesNotCatchUp)
{
    reset_fake(50 + FRAME_INTERVAL_NS + 3000000, 1.0);
    frame_pacer pacer = started_at(50);
    EXPECT_TRUE(pace_frame(pacer, fake_clock));
    EXPECT_TRUE(waits.empty());
    // The next frame counts from this late start, not from the missed tick.
    EXPECT_EQ(pacer.last_start_ns, 50 + FRAME_INTERVAL_NS + 3000000);

    reset_fake(50 + FRAME_INTERVAL_NS, 1.0);
    pacer = started_at(50);
    EXPECT_TRUE(pace_frame(pacer, fake_clock));
    EXPECT_TRUE(waits.empty());
}

TEST(Pacing, EarlyWakeUpsWaitAgainUntilTheDeadline)
{
    // Every wait ends after a third of what was asked.
    reset_fake(0, 1.0 / 3.0);
    frame_pacer pacer = started_at(0);
    EXPECT_TRUE(pace_frame(pacer, fake_clock));
    EXPECT_GE(pacer.last_start_ns, FRAME_INTERVAL_NS);
    EXPECT_GT(waits.size(), 2u);
    // Each further wait asks only for what is left.
    for (size_t i = 1; i < waits.size(); ++i) EXPECT_LT(waits[i], waits[i - 1]);
}

TEST(Pacing, AnEventEndsTheWaitWithoutStartingAFrame)
{
    reset_fake(100, 1.0);
    event_after = 0;
    frame_pacer pacer = started_at(0);
    EXPECT_FALSE(pace_frame(pacer, fake_clock));
    EXPECT_EQ(pacer.last_start_ns, 0);
    // Asked again once the event is handled, it waits out the same deadline.
    EXPECT_TRUE(pace_frame(pacer, fake_clock));
    EXPECT_EQ(pacer.last_start_ns, FRAME_INTERVAL_NS);
}

TEST(Pacing, SixtyPacedFramesTakeAtLeastOneSecond)
{
    reset_fake(0, 1.0);
    frame_pacer pacer;
    for (int frame = 0; frame <= 60; ++frame) ASSERT_TRUE(pace_frame(pacer, fake_clock));
    EXPECT_GE(pacer.last_start_ns, 1000000000);
}

namespace {

// A sleep until the deadline on the system clock.
bool sleep_until(int64_t deadline_ns)
{
    std::this_thread::sleep_for(std::chrono::nanoseconds(deadline_ns - system_now_ns()));
    return true;
}

}  // namespace

TEST(Pacing, SystemClockWaitsAtLeastTheInterval)
{
    const pacing_clock clock = {system_now_ns, sleep_until};
    frame_pacer pacer;
    ASSERT_TRUE(pace_frame(pacer, clock));
    const int64_t first = pacer.last_start_ns;
    ASSERT_TRUE(pace_frame(pacer, clock));
    EXPECT_GE(pacer.last_start_ns - first, FRAME_INTERVAL_NS);
    EXPECT_GE(system_now_ns(), pacer.last_start_ns);
}
