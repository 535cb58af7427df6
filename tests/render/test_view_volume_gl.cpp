// The view volume taken from the camera's matrices in an offscreen context.
#include <gtest/gtest.h>

#include <cmath>

#include "common/gl.h"
#include "common/world.h"
#include "render/view_volume.h"
#include "scene/camera.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"

TEST(ViewVolume, CameraPlanesAreNormalisedAndBoundTheView)
{
    if (!make_test_gl_context(64, 64)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    // Yaw 90 looks along -z.
    place_camera(100, -200, 300, 90, 0, 1024, 768);
    extract_view_frustum();
    for (const float* p : world.view_frustum)
        EXPECT_NEAR(std::sqrt((double)p[0] * p[0] + (double)p[1] * p[1] + (double)p[2] * p[2]), 1.0, 1e-5);
    auto distance = [](int plane, double x, double y, double z) {
        const float* p = world.view_frustum[plane];
        return p[0] * x + p[1] * y + p[2] * z + p[3];
    };
    // The near plane lies 0.5 in front of the eye, the far plane 1500.
    EXPECT_NEAR(distance(5, 100, -200, 300), -0.5, 1e-3);
    EXPECT_NEAR(distance(4, 100, -200, 300), 1500, 0.5);
    // The side planes pass through the eye.
    for (int plane = 0; plane < 4; ++plane) EXPECT_NEAR(distance(plane, 100, -200, 300), 0, 1e-3);
    EXPECT_TRUE(sphere_in_view(100, -200, 250, 1));
    EXPECT_FALSE(sphere_in_view(100, -200, 350, 1));
    EXPECT_FALSE(sphere_in_view(100, -200, 300 - 1600, 50));
    // 50 degrees of vertical view: 30 degrees up is outside, 20 inside.
    EXPECT_FALSE(sphere_in_view(100, -200 + 100 * std::tan(0.5236), 200, 0.01f));
    EXPECT_TRUE(sphere_in_view(100, -200 + 100 * std::tan(0.349), 200, 0.01f));
    EXPECT_EQ(glGetError(), (GLenum)GL_STACK_UNDERFLOW);  // the pops of place_camera on bare stacks
    expect_no_gl_error();
}
