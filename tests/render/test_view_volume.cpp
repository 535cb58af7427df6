// The view volume's planes and the sphere test, from given matrices.
#include <gtest/gtest.h>

#include <cmath>

#include "common/world.h"
#include "render/view_volume.h"

TEST(ViewVolume, PlanesOfTheUnitCubeAndTheTouchingSphere)
{
    reset_world(false);
    // Before any extraction every plane is zero and everything is in view.
    EXPECT_TRUE(sphere_in_view(1e6f, 0, 0, 1));
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    frustum_from_matrices(identity, identity);
    // Right plane first: x <= 1 is inside, normal (-1, 0, 0), w 1.
    EXPECT_FLOAT_EQ(world.view_frustum[0][0], -1);
    EXPECT_FLOAT_EQ(world.view_frustum[0][3], 1);
    EXPECT_FLOAT_EQ(world.view_frustum[1][0], 1);   // left
    EXPECT_FLOAT_EQ(world.view_frustum[2][1], 1);   // bottom
    EXPECT_FLOAT_EQ(world.view_frustum[3][1], -1);  // top
    EXPECT_FLOAT_EQ(world.view_frustum[4][2], -1);  // far
    EXPECT_FLOAT_EQ(world.view_frustum[5][2], 1);   // near
    EXPECT_TRUE(sphere_in_view(0, 0, 0, 0.1f));
    EXPECT_FALSE(sphere_in_view(2, 0, 0, 0.5f));
    // Exactly touching from outside counts as outside.
    EXPECT_FALSE(sphere_in_view(2, 0, 0, 1.0f));
    EXPECT_TRUE(sphere_in_view(2, 0, 0, 1.01f));
    EXPECT_FALSE(sphere_in_view(0, 0, -3, 1.5f));
    EXPECT_TRUE(sphere_in_view(0, -1.5f, 0, 1.0f));
}

TEST(ViewVolume, ABoxBeyondOnePlaneIsOutsideAndSoIsEveryPointInIt)
{
    reset_world(false);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    frustum_from_matrices(identity, identity);
    const double far_right_low[3] = {2.5, -0.5, -0.5}, far_right_high[3] = {3, 0.5, 0.5};
    // Left out only while a frame driver asks for it.
    EXPECT_FALSE(box_outside_view(far_right_low, far_right_high));
    leave_out_unseen(true);
    EXPECT_TRUE(box_outside_view(far_right_low, far_right_high));
    // Beyond the plane x = 1, but by no more than the margin; straddling it;
    // inside; reaching round from beyond the top plane.
    const double near_low[3] = {1.5, 0, 0}, near_high[3] = {3, 0, 0};
    EXPECT_FALSE(box_outside_view(near_low, near_high));
    EXPECT_TRUE(box_outside_view(near_low, near_high, 0.25));
    const double across_low[3] = {0.5, 0, 0}, across_high[3] = {3, 0, 0};
    EXPECT_FALSE(box_outside_view(across_low, across_high));
    const double above_low[3] = {-5, 2.5, -0.5}, above_high[3] = {5, 4, 0.5};
    EXPECT_TRUE(box_outside_view(above_low, above_high));
    const double nan_low[3] = {std::nan(""), -0.5, -0.5};
    EXPECT_FALSE(box_outside_view(nan_low, far_right_high));

    // Whenever a box is outside, the corners and any points inside it are too.
    uint32_t state = 99;
    auto draw = [&state](double lo, double hi) {
        state = state * 1664525u + 1013904223u;
        return lo + (hi - lo) * ((double)(state >> 8) / (1 << 24));
    };
    int outside = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        double low[3], high[3];
        for (int c = 0; c < 3; ++c) {
            low[c] = draw(-6, 6);
            high[c] = low[c] + draw(0, 4);
        }
        if (!box_outside_view(low, high)) continue;
        ++outside;
        double points[12][3];
        for (int k = 0; k < 12; ++k)
            for (int c = 0; c < 3; ++c)
                points[k][c] = k < 8 ? ((k >> c) & 1 ? high[c] : low[c]) : draw(low[c], high[c]);
        EXPECT_TRUE(points_outside_view(points, 12)) << "trial " << trial;
    }
    EXPECT_GT(outside, 200);
    leave_out_unseen(false);
}
