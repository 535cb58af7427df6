// Overlay projection and text, drawn in an offscreen context.
#include <gtest/gtest.h>

#include <string>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "render/overlay.h"
#include "scene/camera.h"
#include "shell/freetype/font_freetype.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"

namespace {

constexpr int W = 128, H = 96;

}  // namespace

TEST(Overlay, EmptyTextSetsTheRasterPositionAndDrawsNothing)
{
    if (!make_test_gl_context(W, H)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    std::string path, family;
    int index = 0;
    if (!find_font_file(path, index, family)) GTEST_SKIP() << "no monospaced font installed";
    make_font();
    on_resize(W, H);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    begin_overlay();
    glColor3f(1, 1, 1);
    print_text(33, 44, "%s", "");
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    EXPECT_EQ(raster[0], 33);
    EXPECT_EQ(raster[1], 44);
    const char* no_format = nullptr;
    print_text(5, 5, no_format);
    EXPECT_EQ(pixels_unlike(read_test_frame(W, H), 0, 0, 0), 0);
    // A trailing blank is the blank glyph: it moves the pen and draws nothing.
    print_text(33, 44, "Created by Orvandel %s", "");
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    const float with_blank = raster[0];
    print_text(33, 44, "Created by Orvandel");
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    EXPECT_NEAR(with_blank - raster[0], 6, 1);
    // Text longer than the buffer is cut, not written past it.
    const std::string long_text(600, 'x');
    print_text(0, 60, "%s", long_text.c_str());
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    expect_no_gl_error();
}

TEST(Overlay, WithoutAFontTextIsInvisibleAndOtherListsAreNotCalled)
{
    if (!make_test_gl_context(W, H)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    // Lists that are not the font's, with low names, drawing a big white square.
    const GLuint lists = glGenLists(100);
    for (GLuint k = 0; k < 100; ++k) {
        glNewList(lists + k, GL_COMPILE);
        glRecti(0, 0, W, H);
        glEndList();
    }
    // No font file: the reserved lists stay empty, nothing is drawn.
    world.font_base = glGenLists(96);
    EXPECT_FALSE(build_font_lists(world.font_base, "/nonexistent/font.ttf", 0));
    on_resize(W, H);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    begin_overlay();
    glColor3f(1, 1, 1);
    print_text(10, 10, "abc");
    EXPECT_EQ(pixels_unlike(read_test_frame(W, H), 0, 0, 0), 0);
    // No lists at all: base 0 must not reach the lists named 1 to 95.
    world.font_base = 0;
    print_text(10, 10, "abc");
    EXPECT_EQ(pixels_unlike(read_test_frame(W, H), 0, 0, 0), 0);
    expect_no_gl_error();
}

TEST(Overlay, PixelProjectionPushedOnBothStacks)
{
    if (!make_test_gl_context(W, H)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    on_resize(W, H);
    begin_overlay();
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 2);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 2);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    // Overlay units are pixels: a rectangle at (10, 20)-(30, 25).
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(0, 1, 0);
    glRectf(10, 20, 30, 25);
    EXPECT_EQ(read_test_pixel(15, 22).g, 255);
    EXPECT_EQ(read_test_pixel(15, 27).g, 0);
    EXPECT_EQ(read_test_pixel(35, 22).g, 0);
    // place_camera pops both pushes again.
    place_camera(0, 0, 0, 0, 0, 1024, 768);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    expect_no_gl_error();
}
