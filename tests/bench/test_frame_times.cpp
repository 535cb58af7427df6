// Frame-time figures of tarvelin_render --bench and bench_frames.
#include <gtest/gtest.h>

#include <vector>

#include "bench/frame_times.h"

TEST(FrameTimes, MedianNearestRankPercentileMeanAndWorst)
{
    frame_times t = summarise_frame_times({5, 1, 3, 2, 4});
    EXPECT_EQ(t.median, 3);
    EXPECT_EQ(t.p95, 5);
    EXPECT_EQ(t.mean, 3);
    EXPECT_EQ(t.worst, 5);
    std::vector<double> times;
    for (int k = 1; k <= 100; ++k) times.push_back(101 - k);
    t = summarise_frame_times(times);
    EXPECT_EQ(t.median, 50.5);
    EXPECT_EQ(t.p95, 95);
    EXPECT_EQ(t.mean, 50.5);
    EXPECT_EQ(t.worst, 100);
    t = summarise_frame_times({});
    EXPECT_EQ(t.worst, 0);
    EXPECT_EQ(t.median, 0);
}
