// Weed beds drawn through feedback mode: near plants before they sway, ribbons only in view.
#include <gtest/gtest.h>

#include <cstring>

#include "common/gl.h"
#include "common/world.h"
#include "objects/weeds.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/test_world.h"
#include "tests/support/weed_placement.h"

TEST(Weeds, NearPlantsAreDrawnBeforeTheyMoveAndRibbonsOnlyInView)
{
    if (!make_test_gl_context(128, 128)) GTEST_SKIP() << test_gl_context_error();
    use_generated_world();
    std::memset(world.view_frustum, 0, sizeof world.view_frustum);
    feedback_ortho_view(1024);
    // One ribbon and one leaf near the camera, everything else far off. A ribbon
    // exactly 200 away is not drawn.
    const float cx = 3000, cz = 3000;
    for (int r = 0; r < world.ribbon_count; ++r) put_root_at(world.ribbon_table[r], cx, cz, 480);
    for (int r = 0; r < world.leaf_count; ++r) put_root_at(world.leaf_table[r], cx, cz, 480);
    weed_record& ribbon = world.ribbon_table[4];
    weed_record& leaf = world.leaf_table[9];
    put_root_at(ribbon, cx, cz, 20);
    put_root_at(leaf, cx, cz, -30);
    put_root_at(world.ribbon_table[5], cx, cz, 200);
    const weed_record ribbon_before = ribbon;
    const float y0 = ribbon.points[0][1];
    glTranslated(-cx, -y0, -cz);
    const auto polygons = feedback_polygons([&] { update_weed_beds(cx, cz); });
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[0].vertices.size(), 1u + 2 * ribbon.point_count);
    EXPECT_EQ(polygons[1].vertices.size(), 1u + 2 * 4);
    // With two steps per segment every second vertex is a control point, as it
    // stood before this frame's sway.
    for (int k = 0; k < ribbon.point_count; ++k) {
        const auto p = feedback_world_point(polygons[0].vertices[2 * k], 1024);
        EXPECT_NEAR(p[0] + cx, ribbon_before.points[k][0], 2e-3);
        EXPECT_NEAR(p[1] + y0, ribbon_before.points[k][1], 2e-3);
    }
    EXPECT_NE(ribbon.points[1][0], ribbon_before.points[1][0]);

    // A view volume that leaves the ribbon out: only the leaf is drawn.
    world.view_frustum[0][0] = 1;
    world.view_frustum[0][3] = -10000;
    EXPECT_EQ(feedback_polygons([&] { update_weed_beds(cx, cz); }).size(), 1u);
    expect_no_gl_error();
}
