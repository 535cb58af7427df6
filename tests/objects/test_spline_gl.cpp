// A closed spline outline drawn through feedback mode: one polygon with the generated vertices.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "objects/spline.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/gl_feedback.h"
#include "tests/support/spline_outline.h"

TEST(Spline, DrawsOnePolygonWithTheGeneratedVertices)
{
    if (!make_test_gl_context(128, 128)) GTEST_SKIP() << test_gl_context_error();
    feedback_ortho_view(64);
    const std::vector<std::array<float, 3>> points = {
        {{-30, -20, 5}}, {{20, -25, -5}}, {{35, 10, 0}}, {{0, 30, 10}}, {{-25, 15, -10}}};
    std::vector<std::array<float, 3>> colours;
    for (int i = 0; i < 5; ++i) colours.push_back({{0.2f * i, 1.0f - 0.2f * i, 0.5f}});
    const auto expected = outline(points, colours, 3);
    const auto polygons = feedback_polygons([&] {
        draw_spline_outline(reinterpret_cast<const float(*)[3]>(points.data()),
                            reinterpret_cast<const float(*)[3]>(colours.data()), 5, 3);
        // Refused outlines leave no trace.
        draw_spline_outline(reinterpret_cast<const float(*)[3]>(points.data()),
                            reinterpret_cast<const float(*)[3]>(colours.data()), 1, 3);
        draw_spline_outline(reinterpret_cast<const float(*)[3]>(points.data()),
                            reinterpret_cast<const float(*)[3]>(colours.data()), 5, 0);
    });
    ASSERT_EQ(polygons.size(), 1u);
    ASSERT_EQ(polygons[0].vertices.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        const auto& v = polygons[0].vertices[k];
        const auto p = feedback_world_point(v, 64);
        EXPECT_NEAR(p[0], expected[k].x, 1e-3);
        EXPECT_NEAR(p[1], expected[k].y, 1e-3);
        EXPECT_NEAR(p[2], expected[k].z, 1e-3);
        EXPECT_NEAR(v[3], expected[k].r, 1e-6);
        EXPECT_NEAR(v[4], expected[k].g, 1e-6);
    }
    expect_no_gl_error();
}
