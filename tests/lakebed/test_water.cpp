// The water surface's per-frame numbers without OpenGL: ripple shapes, heights and colour bands.
#include <gtest/gtest.h>

#include <vector>

#include "common/world.h"
#include "lakebed/water.h"

TEST(Water, Floor30UsesTheFloorForNegativeLatticePoints)
{
    EXPECT_EQ(floor30(0), 0);
    EXPECT_EQ(floor30(29), 0);
    EXPECT_EQ(floor30(30), 30);
    EXPECT_EQ(floor30(-10), -30);
    EXPECT_EQ(floor30(-30), -30);
    EXPECT_EQ(floor30(-31), -60);
    EXPECT_EQ(floor30(-200), -210);
}

TEST(Water, FirstFrameUsesShapeOneAndTheTenthShapeZero)
{
    reset_world(false);
    float sx, sz;
    advance_ripples(sx, sz);
    EXPECT_FLOAT_EQ(sx, 0.5f);
    EXPECT_FLOAT_EQ(sz, 0.5f);
    ripple_shape s = ripple_shape_for_phase(world.ripple_phase);
    EXPECT_FLOAT_EQ(s.curvature, 0.06f);
    EXPECT_FLOAT_EQ(s.lift, 0.1f);
    // First frame: n = 1, so the low band's blue is 7.5 - 0.75.
    EXPECT_DOUBLE_EQ(water_colour_for(0).b, 6.75);
    for (int k = 2; k <= 10; ++k) advance_ripples(sx, sz);
    s = ripple_shape_for_phase(world.ripple_phase);
    EXPECT_FLOAT_EQ(s.curvature, 0.05f);
    EXPECT_FLOAT_EQ(s.lift, 0.0f);
    EXPECT_NEAR(sx, 5.0, 1e-5);
    EXPECT_NEAR(sz, 5.0, 1e-5);
}

TEST(Water, RippleHeightsOfTheNineLatticePointsOfACell)
{
    reset_world(false);
    struct expectation {
        float phase;
        double floor_height, side_height, inner_height;
    };
    // m = 0: 0, 0.5, 1.0; m = 5: -0.15, 1.45, 3.05.
    for (const expectation& e : {expectation{1.0f, 0, 0.5, 1.0}, expectation{0.5f, -0.15, 1.45, 3.05}}) {
        world.ripple_phase = e.phase;
        for (int px = 0; px < 30; px += 10)
            for (int pz = 0; pz < 30; pz += 10) {
                const float h = ripple_height(0, 0, px, pz);
                const int off_grid = (px != 0) + (pz != 0);
                const double expected = off_grid == 0 ? e.floor_height : off_grid == 1 ? e.side_height : e.inner_height;
                EXPECT_NEAR(h, expected, 1e-5) << "phase " << e.phase << " point " << px << "," << pz;
            }
    }
}

TEST(Water, GridPointsAreTheLowestAndInnerPointsTheHighestOfEveryShape)
{
    reset_world(false);
    float sx, sz;
    for (int frame = 1; frame <= 10; ++frame) {
        advance_ripples(sx, sz);
        const ripple_shape s = ripple_shape_for_phase(world.ripple_phase);
        const float lowest = ripple_height(30, 60, 30, 60);
        const float highest = ripple_height(30, 60, 50, 70);
        EXPECT_NEAR(lowest, -0.1 * s.lift, 1e-6);
        EXPECT_NEAR(highest, 0.1 * (200 * s.curvature - s.lift), 1e-5);
        for (int px = 30; px < 60; px += 10)
            for (int pz = 60; pz < 90; pz += 10) {
                const float h = ripple_height(30, 60, px, pz);
                EXPECT_GE(h, lowest);
                EXPECT_LE(h, highest);
            }
    }
}

TEST(Water, NegativePointsFindTheirCellByTheFloor)
{
    reset_world(false);
    world.ripple_phase = 1.0f;  // m = 0: curvature 0.05, lift 0
    // (-20, -10) lies in the cell from (-30, -30); its nearest grid point
    // (-30, 0) is 10 away along both axes.
    EXPECT_NEAR(ripple_height(floor30(-20), floor30(-10), -20, -10), 1.0, 1e-6);
    // The truncated cell (0, 0) would miss that grid point and give more.
    EXPECT_GT(ripple_height(0, 0, -20, -10), 2.0f);
}

TEST(Water, ColourBandsAndTheirTwentyFrameCycle)
{
    reset_world(false);
    world.ripple_phase = 1.0f;  // n = 10: shift -4, deep 2.75
    water_rgba c = water_colour_for(0.49f);
    EXPECT_DOUBLE_EQ(c.g, 3.3);
    EXPECT_DOUBLE_EQ(c.b, 3.5);
    EXPECT_DOUBLE_EQ(c.a, 0.5);
    c = water_colour_for(0.5f);
    EXPECT_DOUBLE_EQ(c.g, 1.9);
    EXPECT_DOUBLE_EQ(c.b, 4.5);
    c = water_colour_for(1.0f);
    EXPECT_DOUBLE_EQ(c.g, 1.1);
    EXPECT_DOUBLE_EQ(c.b, 2.5);
    c = water_colour_for(1.5f);
    EXPECT_DOUBLE_EQ(c.g, 0);
    EXPECT_DOUBLE_EQ(c.b, 3.45);
    EXPECT_DOUBLE_EQ(c.a, 1.5);

    // Over twenty frames the low band's blue swings 7.5 -> 3.5 -> 7.5 and is
    // the same for n and 20 - n.
    reset_world(false);
    float sx, sz;
    std::vector<double> blues;
    for (int frame = 1; frame <= 20; ++frame) {
        advance_ripples(sx, sz);
        blues.push_back(water_colour_for(0).b);
    }
    EXPECT_DOUBLE_EQ(blues[9], 3.5);   // n = 10
    EXPECT_DOUBLE_EQ(blues[19], 7.5);  // n = 0
    for (int n = 1; n < 10; ++n) {
        EXPECT_DOUBLE_EQ(blues[n - 1], blues[19 - n]) << "n " << n;
        EXPECT_LT(blues[n], blues[n - 1]) << "n " << n;
    }
}
