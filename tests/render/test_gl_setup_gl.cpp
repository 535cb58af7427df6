// The GL state of a new context and of a resize.
#include <gtest/gtest.h>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"

TEST(GlSetup, ResizeKeepsTheOverlayExtentAndAZeroHeightBecomesOne)
{
    if (!make_test_gl_context(128, 96)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    on_resize(640, 0);
    EXPECT_EQ(world.client_width, 640);
    EXPECT_EQ(world.client_height, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    ASSERT_TRUE(setup_gl());
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[1], 0.2f);
    EXPECT_FLOAT_EQ(clear[2], 0.4f);
    GLint depth_func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
    EXPECT_EQ(depth_func, GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    GLfloat position[4], direction[3], ambient[4];
    glGetLightfv(GL_LIGHT1, GL_POSITION, position);
    glGetLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, direction);
    glGetLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    EXPECT_EQ(position[0], 10.0f);
    EXPECT_EQ(position[3], 1.0f);
    EXPECT_NEAR(direction[0], -0.17434523, 1e-6);
    EXPECT_NEAR(direction[2], -0.98468459, 1e-6);
    EXPECT_EQ(ambient[0], 2.5f);  // the start values, before any frame
    GLint two_sided = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_sided);
    EXPECT_EQ(two_sided, GL_TRUE);
    free_font();
    expect_no_gl_error();
}
