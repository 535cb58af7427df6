// Viewer bubbles drawn into an offscreen context: where they show and how many.
#include <gtest/gtest.h>

#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "objects/bubbles.h"
#include "scene/camera.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"

TEST(Bubbles, DrawnAheadOfTheViewerMoreWhenDeeper)
{
    if (!make_test_gl_context(128, 96)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    // Bubbles 0..20 one unit to the viewer's left, the others one to the right,
    // all drawn 2 above the eye and 28 ahead of it.
    for (int i = 0; i < BUBBLE_COUNT; ++i) {
        bubble_record& b = world.bubble_table[i];
        b.x = i < 21 ? 1.0f : -1.0f;
        b.y = 14;
        b.radius = 1;
    }
    world.camera_x = 5;
    world.camera_z = -3;
    // Through a 50-degree view of 128 x 96 pixels the two spots lie 3.7 pixels
    // either side of the centre and 7.4 above it: near (60, 55) and (67, 55).
    struct view {
        float yaw, pitch, height;
    };
    for (const view& v : {view{0, 0, 298}, view{90, 0, 298}, view{210, 20, -900}, view{-45, -30, -900}}) {
        world.camera_yaw = v.yaw;
        world.camera_pitch = v.pitch;
        world.camera_y = v.height;
        place_camera(world.camera_x, world.camera_y, world.camera_z, v.yaw, v.pitch, 128, 96);
        // Its pops find bare stacks: one GL_STACK_UNDERFLOW, which OpenGL otherwise ignores.
        EXPECT_EQ(take_gl_errors(), std::vector<GLenum>{GL_STACK_UNDERFLOW});
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        draw_bubbles();
        const test_pixel left = read_test_pixel(60, 55), right = read_test_pixel(67, 55);
        const test_pixel centre = read_test_pixel(64, 48), below = read_test_pixel(60, 40);
        SCOPED_TRACE(testing::Message() << "yaw " << v.yaw << " pitch " << v.pitch);
        // Colour 2.25, 2.55, 2.55 saturates to white.
        EXPECT_EQ(left.r + left.g + left.b, 3 * 255);
        // The right spot holds bubbles 21..49, drawn only deep down.
        EXPECT_EQ(right.r + right.g + right.b, v.height < -860 ? 3 * 255 : 0);
        EXPECT_EQ(centre.r + centre.g + centre.b, 0);
        EXPECT_EQ(below.r + below.g + below.b, 0);
    }
    expect_no_gl_error();
}
