// The water surface drawn through feedback mode: which squares, in which corner order.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/world.h"
#include "lakebed/water.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/top_view.h"

TEST(Water, SurfaceDrawnOnlyNearTheCamera)
{
    if (!make_test_gl_context(64, 64)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    // Camera deep down: no square is within 320 units.
    top_view view = set_top_view(0, 0);
    EXPECT_TRUE(top_view_polygons(view, [] { draw_water_surface(0, 0, -30); }).empty());
    EXPECT_EQ(world.ripple_phase, 0.1f);  // the phase advances whether or not anything is drawn

    // Camera just under the surface: a disc of squares around it, each square
    // four corners in the order (i, j), (i + 10, j), (i + 10, j + 10), (i, j + 10).
    reset_world(false);
    view = set_top_view(0, 0);
    const std::vector<top_polygon> squares =
        joined_quads(top_view_polygons(view, [] { draw_water_surface(7, -3, 290); }));
    EXPECT_GT(squares.size(), 1000u);
    EXPECT_LE(squares.size(), 41u * 41u);
    for (const top_polygon& p : squares) {
        ASSERT_EQ(p.size(), 4u);
        // The pattern has drifted by half a unit along -x and -z.
        const double i = p[0].x + 0.5;
        EXPECT_NEAR(std::fmod(std::fabs(i), 10.0), 0, 0.01);
        EXPECT_NEAR(p[1].x - p[0].x, 10, 0.01);
        EXPECT_NEAR(p[1].z - p[0].z, 0, 0.01);
        EXPECT_NEAR(p[2].x - p[0].x, 10, 0.01);
        EXPECT_NEAR(p[2].z - p[0].z, 10, 0.01);
        EXPECT_NEAR(p[3].x - p[0].x, 0, 0.01);
        EXPECT_NEAR(p[3].z - p[0].z, 10, 0.01);
        EXPECT_LT(std::hypot(7 - (p[0].x), -3 - p[0].z), 320.0);
        if (::testing::Test::HasFailure()) break;
    }
    expect_no_gl_error();
}
