// The central tower drawn into an offscreen context: where its parts stand.
#include <gtest/gtest.h>

#include "common/gl.h"
#include "objects/tower.h"
#include "render/shape_cache.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"

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
    const auto image = read_test_frame(1024, 1200);
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
    expect_no_gl_error();
}
