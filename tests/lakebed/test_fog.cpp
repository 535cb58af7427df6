// Fog, lamp and water surface: the per-frame numbers, without OpenGL.
#include <gtest/gtest.h>

#include <vector>

#include "common/world.h"
#include "lakebed/fog.h"
#include "render/gl_setup.h"
#include "lakebed/water.h"
#include "scene/frame.h"

TEST(Fog, EndsOfTheFirstFramesBreatheBetween150And160)
{
    reset_world(false);
    const float expected[12] = {159, 158, 156, 153, 150, 153, 156, 158, 159, 160, 159, 158};
    for (int k = 0; k < 12; ++k) EXPECT_EQ(fog_end_for_phase(advance_fog_phase()), expected[k]) << "call " << k + 1;
}

TEST(Fog, SinglePrecisionPhaseRepeatsAndSkipsSteps)
{
    reset_world(false);
    std::vector<float> ends;
    std::vector<int> tenths;
    for (int k = 0; k < 100; ++k) {
        const float phase = advance_fog_phase();
        ends.push_back(fog_end_for_phase(phase));
        tenths.push_back((int)(phase * 10.0));
    }
    // The 22nd and 23rd calls both fall on tenth 22.
    EXPECT_EQ(tenths[21], 22);
    EXPECT_EQ(tenths[22], 22);
    EXPECT_EQ(ends[21], 158);
    EXPECT_EQ(ends[22], 158);
    // Until then every call is one tenth on; at the 95th call one tenth is skipped.
    for (int k = 1; k < 21; ++k) EXPECT_EQ(tenths[k], tenths[k - 1] + 1) << "call " << k + 1;
    EXPECT_EQ(tenths[94] - tenths[93], 2);
    EXPECT_EQ(fog_end_for_phase(0.0f), 160);
    EXPECT_EQ(fog_end_for_phase(0.5f), 150);
}

TEST(Fog, ColourFollowsDepthAndPitchAndEqualsTheBackground)
{
    reset_world(false);
    float t, d;
    frame_colour_factors(0, 298, t, d);
    EXPECT_NEAR(t, 0.08333, 1e-5);
    EXPECT_FLOAT_EQ(d, 1.8725f);
    float c[4];
    fog_colour(t, d, c);
    EXPECT_EQ(c[0], 0.0f);
    EXPECT_NEAR(c[1], 0.531, 0.001);
    EXPECT_NEAR(c[2], 0.905, 0.001);
    EXPECT_EQ(c[3], 1.0f);

    // Deeper is darker; looking up is brighter than looking down.
    frame_colour_factors(0, -700, t, d);
    EXPECT_FLOAT_EQ(d, 0.625f);
    float deep[4];
    fog_colour(t, d, deep);
    EXPECT_LT(deep[1], c[1]);
    float up[4], down[4];
    frame_colour_factors(89, -300, t, d);
    EXPECT_NEAR(t, 269.0 / 2160, 1e-6);
    fog_colour(t, d, up);
    frame_colour_factors(-89, -300, t, d);
    EXPECT_NEAR(t, 91.0 / 2160, 1e-6);
    fog_colour(t, d, down);
    EXPECT_GT(up[2], down[2]);
}

TEST(Fog, LampTakesItsBlueTintAtTheFirstFrame)
{
    reset_world(false);
    EXPECT_FLOAT_EQ(world.lamp_ambient[0], 2.5f);
    update_headlamp_colours();
    for (const float* c : {world.lamp_ambient, world.lamp_diffuse}) {
        EXPECT_FLOAT_EQ(c[0], 0.5f);
        EXPECT_FLOAT_EQ(c[1], 0.5f);
        EXPECT_FLOAT_EQ(c[2], 2.5f);
        EXPECT_FLOAT_EQ(c[3], 0.1f);
    }
    EXPECT_FLOAT_EQ(world.lamp_specular[0], 2.5f);
    EXPECT_FLOAT_EQ(world.lamp_specular[2], 2.5f);
    EXPECT_FLOAT_EQ(world.lamp_specular[3], 1.0f);
    EXPECT_FLOAT_EQ(lamp_direction[0], -0.17434523f);
    EXPECT_FLOAT_EQ(lamp_direction[2], -0.98468459f);
}

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
