// Fog and lamp: the per-frame numbers, without OpenGL.
#include <gtest/gtest.h>

#include <vector>

#include "common/world.h"
#include "lakebed/fog.h"
#include "render/gl_setup.h"
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
