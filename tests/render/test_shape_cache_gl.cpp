// The shape cache: one display list per distinct shape, drawn in an offscreen context.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/gl.h"
#include "objects/tower.h"
#include "render/shape_cache.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"

namespace {

constexpr int W = 128, H = 96;

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
    expect_no_gl_error();
}

TEST(ShapeCache, FirstCallDrawsWhileCompilingAndTheListDrawsTheSame)
{
    if (!fresh_context()) GTEST_SKIP() << test_gl_context_error();
    plain_view();
    glTranslated(0, 0, -10);
    solid_cone(2, 3);
    const auto compiled = read_test_frame(W, H);
    EXPECT_GT(pixels_unlike(compiled, 0, 0, 0), 100);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    solid_cone(2, 3);
    EXPECT_EQ(read_test_frame(W, H), compiled);

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
    expect_no_gl_error();
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
    const auto first = read_test_frame(W, H);
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
    EXPECT_EQ(read_test_frame(W, H), first);
    draw_central_tower();
    EXPECT_EQ(entries(), 5);
    expect_no_gl_error();
}
