// The view volume's planes and the sphere test, from given matrices.
#include <gtest/gtest.h>

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
