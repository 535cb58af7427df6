// Frame pacing against a fake clock.
#include <gtest/gtest.h>

#include <vector>

#include "shell/pacing.h"

namespace {

// A fake clock: time moves only when the pacing sleeps, by the requested
// time scaled by `sleep_fraction` (below 1 wakes early), at least 1 ns.
int64_t fake_time;
double sleep_fraction;
std::vector<int64_t> sleeps;

int64_t fake_now()
{
    return fake_time;
}

void fake_sleep(int64_t ns)
{
    sleeps.push_back(ns);
    int64_t step = (int64_t)((double)ns * sleep_fraction);
    fake_time += step > 0 ? step : 1;
}

const pacing_clock fake_clock = {fake_now, fake_sleep};

void reset_fake(int64_t now, double fraction)
{
    fake_time = now;
    sleep_fraction = fraction;
    sleeps.clear();
}

}  // namespace

TEST(Pacing, EarlyFrameSleepsForTheRestOfTheInterval)
{
    // The frame started at 1 s and took 4 ms.
    reset_fake(1000000000 + 4000000, 1.0);
    const int64_t next = wait_for_next_frame(1000000000, fake_clock);
    ASSERT_EQ(sleeps.size(), 1u);
    EXPECT_EQ(sleeps[0], FRAME_INTERVAL_NS - 4000000);
    EXPECT_EQ(next, 1000000000 + FRAME_INTERVAL_NS);
}

TEST(Pacing, LateOrExactFrameDoesNotSleep)
{
    reset_fake(50 + FRAME_INTERVAL_NS + 3000000, 1.0);
    EXPECT_EQ(wait_for_next_frame(50, fake_clock), 50 + FRAME_INTERVAL_NS + 3000000);
    EXPECT_TRUE(sleeps.empty());

    reset_fake(50 + FRAME_INTERVAL_NS, 1.0);
    EXPECT_EQ(wait_for_next_frame(50, fake_clock), 50 + FRAME_INTERVAL_NS);
    EXPECT_TRUE(sleeps.empty());
}

TEST(Pacing, EarlyWakeUpsSleepAgainUntilTheDeadline)
{
    // Every sleep ends after a third of what was asked.
    reset_fake(0, 1.0 / 3.0);
    const int64_t next = wait_for_next_frame(0, fake_clock);
    EXPECT_GE(next, FRAME_INTERVAL_NS);
    EXPECT_GT(sleeps.size(), 2u);
    // Each further sleep asks only for what is left.
    for (size_t i = 1; i < sleeps.size(); ++i) EXPECT_LT(sleeps[i], sleeps[i - 1]);
}

TEST(Pacing, SixtyPacedFramesTakeAtLeastOneSecond)
{
    // Frames that draw in no time at all still come at most 60 a second.
    reset_fake(0, 1.0);
    int64_t start = 0;
    for (int frame = 0; frame < 60; ++frame) start = wait_for_next_frame(start, fake_clock);
    EXPECT_GE(start, 1000000000);
}

TEST(Pacing, SystemClockWaitsAtLeastTheInterval)
{
    const pacing_clock& clock = system_pacing_clock();
    const int64_t start = clock.now_ns();
    const int64_t next = wait_for_next_frame(start, clock);
    EXPECT_GE(next - start, FRAME_INTERVAL_NS);
    EXPECT_GE(clock.now_ns(), next);
}
