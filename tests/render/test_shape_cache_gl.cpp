// Shape cache, central tower, bitmap font and overlay text, drawn in an offscreen context.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "objects/tower.h"
#include "scene/camera.h"
#include "render/font.h"
#include "shell/freetype/font_freetype.h"
#include "render/gl_setup.h"
#include "render/overlay.h"
#include "render/shape_cache.h"
#include "tests/support/gl_context.h"

namespace {

constexpr int W = 128, H = 96;

std::vector<unsigned char> frame_pixels(int width, int height)
{
    std::vector<unsigned char> rgba((size_t)width * height * 4);
    read_test_pixels(0, 0, width, height, rgba.data());
    return rgba;
}

// Pixels whose colour differs from (r, g, b) by more than a little.
int pixels_unlike(const std::vector<unsigned char>& rgba, int r, int g, int b)
{
    int n = 0;
    for (size_t k = 0; k + 3 < rgba.size(); k += 4)
        if (std::abs(rgba[k] - r) + std::abs(rgba[k + 1] - g) + std::abs(rgba[k + 2] - b) > 6) ++n;
    return n;
}

// A flat, unlit view of a small scene in front of the eye.
void plain_view()
{
    glViewport(0, 0, W, H);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50, (double)W / H, 0.5, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
}

// A fresh context with the cache empty, as after a window rebuild.
bool fresh_context()
{
    if (!make_test_gl_context(W, H)) return false;
    release_shape_cache();
    return true;
}

// Counts of the three kinds of entries.
int entries()
{
    return shape_cache_count(SHAPE_SPHERE) + shape_cache_count(SHAPE_CYLINDER) + shape_cache_count(SHAPE_CONE);
}

}  // namespace

TEST(ShapeCache, OneEntryPerDistinctShapeAndExactParameters)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
    plain_view();
    solid_sphere(1.0);
    solid_sphere(1.0);
    EXPECT_EQ(shape_cache_count(SHAPE_SPHERE), 1);
    // A radius one bit larger is a shape of its own.
    const double next = std::nextafter(1.0, 2.0);
    const double one[1] = {1.0}, other[1] = {next};
    EXPECT_EQ(lookup_shape(SHAPE_SPHERE, other, 1), 0u);
    solid_sphere(next);
    EXPECT_EQ(shape_cache_count(SHAPE_SPHERE), 2);
    EXPECT_NE(lookup_shape(SHAPE_SPHERE, one, 1), lookup_shape(SHAPE_SPHERE, other, 1));
    EXPECT_NE(lookup_shape(SHAPE_SPHERE, other, 1), 0u);
    // Cylinder and cone with the same numbers are different kinds.
    solid_cylinder(2, 5);
    solid_cone(2, 5);
    const double rh[2] = {2, 5};
    EXPECT_EQ(shape_cache_count(SHAPE_CYLINDER), 1);
    EXPECT_EQ(shape_cache_count(SHAPE_CONE), 1);
    EXPECT_NE(lookup_shape(SHAPE_CYLINDER, rh, 2), lookup_shape(SHAPE_CONE, rh, 2));
    const double swapped[2] = {5, 2};
    EXPECT_EQ(lookup_shape(SHAPE_CYLINDER, swapped, 2), 0u);
    for (unsigned list : {lookup_shape(SHAPE_SPHERE, one, 1), lookup_shape(SHAPE_CONE, rh, 2)})
        EXPECT_TRUE(glIsList(list));
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(ShapeCache, FirstCallDrawsWhileCompilingAndTheListDrawsTheSame)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
    plain_view();
    glTranslated(0, 0, -10);
    solid_cone(2, 3);
    const auto compiled = frame_pixels(W, H);
    EXPECT_GT(pixels_unlike(compiled, 0, 0, 0), 100);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    solid_cone(2, 3);
    EXPECT_EQ(frame_pixels(W, H), compiled);

    // The cylinder hangs from y = 1 down to y = 1 - length in the caller's frame.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    solid_cylinder(0.5, 4);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-8, 8, -6, 6, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    solid_cylinder(0.5, 4);
    // 8 pixels per unit: y = 1 is 56 pixels up, y = -3 is 24.
    EXPECT_NE(read_test_pixel(W / 2, 50).r, 0);
    EXPECT_NE(read_test_pixel(W / 2, 28).r, 0);
    EXPECT_EQ(read_test_pixel(W / 2, 60).r, 0);
    EXPECT_EQ(read_test_pixel(W / 2, 20).r, 0);
    EXPECT_EQ(read_test_pixel(W / 2 + 8, 40).r, 0);
}

TEST(ShapeCache, ReleaseDeletesTheListsAndANewContextDrawsTheTowerAgain)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
    plain_view();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1500, 1500, -1500, 1500, -3000, 3000);
    glMatrixMode(GL_MODELVIEW);
    draw_central_tower();
    // Three pole lengths, one sphere, one cone.
    EXPECT_EQ(shape_cache_count(SHAPE_CYLINDER), 3);
    EXPECT_EQ(shape_cache_count(SHAPE_SPHERE), 1);
    EXPECT_EQ(shape_cache_count(SHAPE_CONE), 1);
    const auto first = frame_pixels(W, H);
    ASSERT_GT(pixels_unlike(first, 0, 0, 0), 50);
    const double cone[2] = {60, 1900};
    const unsigned cone_list = lookup_shape(SHAPE_CONE, cone, 2);
    ASSERT_TRUE(glIsList(cone_list));

    release_shape_cache();
    EXPECT_EQ(entries(), 0);
    EXPECT_FALSE(glIsList(cone_list));

    // A rebuilt context (make_test_gl_context empties the cache as the F1 path
    // does) builds its own lists and draws the same tower.
    draw_central_tower();
    ASSERT_TRUE(make_test_gl_context(W, H));
    EXPECT_EQ(entries(), 0);
    plain_view();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1500, 1500, -1500, 1500, -3000, 3000);
    glMatrixMode(GL_MODELVIEW);
    draw_central_tower();
    EXPECT_EQ(entries(), 5);
    EXPECT_EQ(frame_pixels(W, H), first);
    draw_central_tower();
    EXPECT_EQ(entries(), 5);
}

TEST(Tower, PartsStandWhereTheirTransformsPutThem)
{
    // Seen from the front (along -z) in an orthographic view of two units a
    // pixel: x -1024..1024, y -1200..1200. (Feedback mode is not used here:
    // Mesa's feedback path fails on the sphere's display list.)
    if (!make_test_gl_context(1024, 1200)) GTEST_SKIP() << test_gl_context_error();
    release_shape_cache();
    glViewport(0, 0, 1024, 1200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1024, 1024, -1200, 1200, -3000, 3000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    draw_central_tower();
    const auto image = frame_pixels(1024, 1200);
    auto lit_pixel = [&](int px, int py) {
        const unsigned char* p = &image[((size_t)py * 1024 + px) * 4];
        return p[0] + p[1] + p[2] > 0;
    };
    auto lit = [&](double x, double y) { return lit_pixel((int)((x + 1024) / 2), (int)((y + 1200) / 2)); };
    // The legs stand 400 apart at -1000 and cross on the axis near 604.
    EXPECT_TRUE(lit(-200, -995));
    EXPECT_TRUE(lit(200, -995));
    EXPECT_FALSE(lit(0, -995));
    EXPECT_TRUE(lit(0, 604));
    // The apexes at about 871 are the highest points.
    int top_row = -1;
    for (int py = 1199; py >= 0 && top_row < 0; --py)
        for (int px = 0; px < 1024; ++px)
            if (lit_pixel(px, py)) {
                top_row = py;
                break;
            }
    const double top = top_row * 2.0 - 1200;
    EXPECT_GT(top, 820);
    EXPECT_LT(top, 880);
    // The central poles reach down to -799; the fifth pole's top is at 351.
    EXPECT_TRUE(lit(10, -790));
    EXPECT_FALSE(lit(10, -810));
    EXPECT_TRUE(lit(5, 345));
    EXPECT_FALSE(lit(5, 357));
    // The rods from (5, -50, 25) slant down to +x and to -x at 45 degrees.
    EXPECT_TRUE(lit(711, -756));
    EXPECT_TRUE(lit(-701, -756));
    EXPECT_FALSE(lit(711, -656));
    // Unlit, the colours clamp: poles red, legs (3, 1.2, 1) white.
    auto colour = [&](double x, double y) {
        const unsigned char* p = &image[((size_t)((y + 1200) / 2) * 1024 + (size_t)((x + 1024) / 2)) * 4];
        return test_pixel{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(colour(10, -790).r, 255);
    EXPECT_EQ(colour(10, -790).g, 0);
    EXPECT_EQ(colour(-200, -995).g, 255);
}

TEST(Font, NinetySixGlyphListsWithMonospacedAdvance)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    std::string path, family;
    int index = 0;
    if (!find_font_file(path, index, family)) GTEST_SKIP() << "no monospaced font installed";
    make_font();
    ASSERT_NE(world.font_base, 0u);
    for (unsigned k = 0; k < 96; ++k) ASSERT_TRUE(glIsList(world.font_base + k)) << k;

    on_resize(W, H);
    glDisable(GL_LIGHTING);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    begin_overlay();
    glColor3f(1, 0, 0);
    print_text(10, 20, "%s", "MMMM");
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    // Courier New and Liberation Mono advance 0.6 of the 10-pixel em: 6 pixels.
    EXPECT_NEAR(raster[0] - 10, 4 * 6, 4 * 1.0) << family;
    EXPECT_EQ(raster[1], 20);
    // The glyphs stand on the baseline at y = 20, about 7 pixels tall, in the current colour.
    const auto text = frame_pixels(W, H);
    int inside = 0, outside = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const unsigned char* p = &text[((size_t)y * W + x) * 4];
            if (p[0] < 128) continue;
            EXPECT_EQ(p[1], 0);
            (x >= 10 && x < 10 + 4 * 7 && y >= 20 && y < 20 + 10 ? inside : outside)++;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);

    free_font();
    EXPECT_EQ(world.font_base, 0u);
}

TEST(Font, EmptyTextSetsTheRasterPositionAndDrawsNothing)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
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
    EXPECT_EQ(pixels_unlike(frame_pixels(W, H), 0, 0, 0), 0);
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
}

TEST(Font, WithoutAFontTextIsInvisibleAndOtherListsAreNotCalled)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
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
    EXPECT_EQ(pixels_unlike(frame_pixels(W, H), 0, 0, 0), 0);
    // No lists at all: base 0 must not reach the lists named 1 to 95.
    world.font_base = 0;
    print_text(10, 10, "abc");
    EXPECT_EQ(pixels_unlike(frame_pixels(W, H), 0, 0, 0), 0);
}

TEST(GlSetup, ResizeKeepsTheOverlayExtentAndAZeroHeightBecomesOne)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
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
}

TEST(Overlay, PixelProjectionPushedOnBothStacks)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
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
}
