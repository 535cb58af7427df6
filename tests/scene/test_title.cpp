// Title sequence motion: the fade ramp, its end, Escape, and the streaming points.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/random.h"
#include "common/world.h"
#include "scene/title.h"

namespace {

// Runs the end test and ramp until the title stops; returns the frame count
// and the fade each frame's end test saw.
int run_title_ramp(bool escape, std::vector<float>& fades)
{
    int frames = 0;
    while (world.title_running && frames < 10000) {
        fades.push_back(world.title_fade);
        advance_title(escape);
        ++frames;
    }
    return frames;
}

}  // namespace

TEST(Title, FadeRampClimbsSlowlyToPointFourThenFaster)
{
    reset_world(false);
    advance_title(false);
    EXPECT_FLOAT_EQ(world.title_fade, 0.001f);
    while (world.title_fade <= 0.4) advance_title(false);
    const float past = world.title_fade;
    advance_title(false);
    EXPECT_NEAR(world.title_fade - past, 0.003, 1e-6);
    for (int k = 0; k < 1000; ++k) advance_title(false);
    EXPECT_EQ(world.title_fade, 1.5f);
}

TEST(Title, WithoutEscapeTheLastFrameIsTheFirstThatSawFullFade)
{
    reset_world(false);
    std::vector<float> fades;
    const int frames = run_title_ramp(false, fades);
    EXPECT_FALSE(world.title_running);
    EXPECT_EQ(fades.back(), 1.5f);
    for (int k = 0; k + 1 < frames; ++k) EXPECT_LT(fades[k], 1.5f) << "frame " << k + 1;
    // About 770 frames: 400 at 0.001 and the rest at 0.003.
    EXPECT_EQ(frames, 768);
    EXPECT_EQ(fades.front(), 0.0f);  // the first frame draws the monogram fully transparent
}

TEST(Title, EscapeEndsTheTitleOnlyOnceTheFadeReachedOne)
{
    reset_world(false);
    std::vector<float> fades;
    const int frames = run_title_ramp(true, fades);
    EXPECT_GE(fades.back(), 1.0f);
    EXPECT_LT(fades[frames - 2], 1.0f);
    EXPECT_GT(frames, 590);
    EXPECT_LT(frames, 620);

    // Escape pressed only after the fade passed one ends the title at once.
    reset_world(false);
    for (int k = 0; k < 700; ++k) advance_title(false);
    ASSERT_TRUE(world.title_running);
    advance_title(true);
    EXPECT_FALSE(world.title_running);
}

TEST(Title, PointsStepOneUnitAndAreRebornAtTheViewersPlane)
{
    reset_world(false);
    seed_title_points();
    for (title_point& p : world.title_points) p.z = -500;
    world.title_points[3].z = -10;
    world.title_points[0].z = -5;
    world.title_points[1].z = -1;
    world.title_points[2].z = -1;
    const float far_z = world.title_points[3].z;
    const uint32_t state = world.random_state;
    step_title_points();
    EXPECT_EQ(world.title_points[0].z, -4.0f);
    // Two points reached z = 0: each is made anew from four draws, in index order.
    EXPECT_EQ(world.random_state, random_state_after(state, 8));
    world.random_state = state;
    title_point first{}, second{};
    make_title_point(first);
    make_title_point(second);
    EXPECT_EQ(world.title_points[1].x, first.x);
    EXPECT_EQ(world.title_points[1].z, first.z);
    EXPECT_EQ(world.title_points[2].y, second.y);
    EXPECT_EQ(world.title_points[2].kind, second.kind);
    EXPECT_EQ(world.title_points[3].z, far_z + 1);
    EXPECT_EQ(world.title_points[499].z, -499.0f);
}

TEST(Title, PointMadeAtZeroIsRenewedAtItsFirstStep)
{
    reset_world(false);
    // Search the sequence for a point whose depth draw is a multiple of 1000.
    uint32_t state = 1;
    title_point p{};
    int tries = 0;
    do {
        world.random_state = state;
        make_title_point(p);
        state = random_state_after(state, 1);
    } while (p.z != 0 && ++tries < 200000);
    ASSERT_EQ(p.z, 0.0f);
    world.title_points[0] = p;
    const uint32_t before = world.random_state;
    step_title_points();
    // Renewed at once, and the draws come first for point 0.
    world.random_state = before;
    title_point again{};
    make_title_point(again);
    EXPECT_EQ(world.title_points[0].z, again.z);
    EXPECT_EQ(world.title_points[0].x, again.x);
}

TEST(Title, PointSizeBandsByDepthKeepTheSizeInForceAtTheBorders)
{
    EXPECT_EQ(title_point_size(-999, 3), 1);
    EXPECT_EQ(title_point_size(-701, 3), 1);
    EXPECT_EQ(title_point_size(-700, 3), 3);
    EXPECT_EQ(title_point_size(-700, 1), 1);
    EXPECT_EQ(title_point_size(-699, 1), 2);
    EXPECT_EQ(title_point_size(-301, 3), 2);
    EXPECT_EQ(title_point_size(-300, 2), 2);
    EXPECT_EQ(title_point_size(-300, 1), 1);
    EXPECT_EQ(title_point_size(-299, 1), 3);
    EXPECT_EQ(title_point_size(0, 1), 3);
}
