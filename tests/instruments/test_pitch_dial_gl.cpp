// The pitch dial drawn through feedback mode: the figure's place and its turn about the pivot.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "instruments/dials.h"
#include "instruments/pitch_dial.h"
#include "render/overlay.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/gl_feedback.h"

TEST(PitchDial, FigureAtPitchZeroSitsWhereTheTableAndPivotPutIt)
{
    if (!make_large_overlay_context()) GTEST_SKIP() << test_gl_context_error();
    const std::vector<fed_vertex> fed = feedback_vertices([] { draw_pitch_dial(0, true); });

    // The first polygon of the figure: (18.75, 18.75), (25, 17.5), (25, 25),
    // (18.75, 21.25) in figure units x 0.25, moved by (125, 45).
    for (auto [x, y] : {std::pair<double, double>{143.75, 63.75}, {150, 62.5}, {150, 70}, {143.75, 66.25}})
        EXPECT_TRUE(fed_at(fed, x, y, 0.2, 0.2, 0.2)) << "(" << x << ", " << y << ") missing";
    // The upper fin's black tip (525, 247), a yellow corner (230, 130) and a
    // white window corner (175, 96).
    EXPECT_TRUE(fed_at(fed, 256.25, 106.75, 0, 0, 0));
    EXPECT_TRUE(fed_at(fed, 182.5, 77.5, 0.7, 0.7, 0));
    EXPECT_TRUE(fed_at(fed, 168.75, 69, 1, 1, 1));
    // The rim and the face start at angle 0.
    EXPECT_TRUE(fed_at(fed, 275, 75, 0.1, 0.1, 0.2));
    EXPECT_TRUE(fed_at(fed, 262.5, 75, 0.32, 0.625, 0.625));

    // Every vertex drawn is a rim or face point or a figure vertex, and every
    // one of those is drawn.
    std::vector<fed_vertex> expected;
    const dial_place place = dial_placement(DIAL_PITCH, true);
    overlay_point circle[DIAL_CIRCLE_POINT_COUNT];
    for (double radius : {75.0, 62.5}) {
        dial_circle(place, radius, circle);
        for (const overlay_point& p : circle) expected.push_back({p.x, p.y, 0, 0, 0});
    }
    const pitch_polygon* figure = pitch_figure();
    for (int k = 0; k < PITCH_FIGURE_POLYGON_COUNT; ++k)
        for (int v = 0; v < figure[k].vertex_count; ++v)
            expected.push_back({figure[k].vertices[v][0] * 0.25 + 125, figure[k].vertices[v][1] * 0.25 + 45, 0, 0, 0});
    EXPECT_EQ(expected.size(), 2u * 61 + 105);
    for (const fed_vertex& e : expected) EXPECT_TRUE(fed_at(fed, e.x, e.y)) << e.x << ", " << e.y << " not drawn";
    for (const fed_vertex& v : fed) EXPECT_TRUE(fed_at(expected, v.x, v.y)) << v.x << ", " << v.y << " drawn";
    expect_no_gl_error();
}

TEST(PitchDial, TurnsClockwiseAboutThePivotAndRestoresTheMatrix)
{
    if (!make_test_gl_context(1024, 768)) GTEST_SKIP() << test_gl_context_error();
    world.client_width = 640;
    world.client_height = 480;
    begin_overlay();
    glTranslated(3, 4, 0);  // a model-view matrix the dial must leave as it was
    GLfloat before[16], after[16];
    GLint depth_before = 0, depth_after = 0;
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);

    // Small layout: figure unit 0.1, pivot (280, 100) placed at (78, 28).
    const std::vector<fed_vertex> fed = feedback_vertices([] { draw_pitch_dial(30, false); });
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(before[k], after[k]) << k;
    EXPECT_EQ(depth_before, depth_after);

    // Window positions: overlay units x 1.6 in the 640 x 480 mode, plus the
    // translation above.
    auto expected_at = [](double fx, double fy) {
        const double a = -30 * 3.14159265358979 / 180;
        const double dx = (fx - 280) * 0.1, dy = (fy - 100) * 0.1;
        const double x = 78 + dx * std::cos(a) - dy * std::sin(a) + 3;
        const double y = 28 + dx * std::sin(a) + dy * std::cos(a) + 4;
        return std::pair<double, double>{x * 1.6, y * 1.6};
    };
    auto drawn = [&](double fx, double fy) {
        const auto [x, y] = expected_at(fx, fy);
        for (const fed_vertex& v : fed)
            if (std::fabs(v.x - x) < 2e-3 && std::fabs(v.y - y) < 2e-3) return true;
        return false;
    };
    EXPECT_TRUE(drawn(280, 130));  // the yellow block's top edge passes over the pivot
    EXPECT_TRUE(drawn(75, 75));    // the nose, raised
    EXPECT_TRUE(drawn(525, 247));  // the upper fin tip, lowered
    EXPECT_TRUE(drawn(450, 140));
    expect_no_gl_error();
}
