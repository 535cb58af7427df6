// The view frame's bands, tongue and corner wedges on both canvases, without OpenGL.
#include <gtest/gtest.h>

#include <cmath>

#include "instruments/view_frame.h"

namespace {

// Calls `check(polygon, layer, index)` for every polygon of both layers.
template <typename Check>
void each_polygon(bool large, Check check)
{
    for (int i = 0; i < FRAME_BLACK_POLYGON_COUNT; ++i) check(frame_black_polygon(i, large), "black", i);
    for (int i = 0; i < FRAME_GREEN_POLYGON_COUNT; ++i) check(frame_green_polygon(i, large), "green", i);
}

}  // namespace

TEST(ViewFrame, BothCanvasesDrawOneFrameScaledToThemAndNoPolygonLeavesIt)
{
    float large_w, large_h, small_w, small_h;
    frame_canvas(true, large_w, large_h);
    frame_canvas(false, small_w, small_h);
    for (bool large : {true, false}) {
        const float w = large ? large_w : small_w, h = large ? large_h : small_h;
        each_polygon(large, [&](const frame_polygon& p, const char* layer, int i) {
            ASSERT_GE(p.vertex_count, 3) << layer << i;
            ASSERT_LE(p.vertex_count, FRAME_POLYGON_VERTEX_LIMIT) << layer << i;
            for (int v = 0; v < p.vertex_count; ++v) {
                EXPECT_GE(p.vertices[v].x, 0) << layer << i;
                EXPECT_LE(p.vertices[v].x, w) << layer << i;
                EXPECT_GE(p.vertices[v].y, 0) << layer << i;
                EXPECT_LE(p.vertices[v].y, h) << layer << i;
            }
        });
    }
    // The small canvas's polygons are the large ones scaled by the canvases' ratio.
    for (int layer = 0; layer < 2; ++layer) {
        const int count = layer ? FRAME_GREEN_POLYGON_COUNT : FRAME_BLACK_POLYGON_COUNT;
        for (int i = 0; i < count; ++i) {
            const frame_polygon big = layer ? frame_green_polygon(i, true) : frame_black_polygon(i, true);
            const frame_polygon small = layer ? frame_green_polygon(i, false) : frame_black_polygon(i, false);
            ASSERT_EQ(small.vertex_count, big.vertex_count) << layer << i;
            for (int v = 0; v < big.vertex_count; ++v) {
                EXPECT_NEAR(small.vertices[v].x, big.vertices[v].x * small_w / large_w, 1e-3) << layer << i;
                EXPECT_NEAR(small.vertices[v].y, big.vertices[v].y * small_h / large_h, 1e-3) << layer << i;
            }
        }
    }
}

TEST(ViewFrame, EachGreenSideBandIsNarrowerThanTheBlackBandUnderIt)
{
    // The green layer is drawn over the black one: each of its four side
    // bands covers less than the black band below, so black shows along the
    // frame's inner edge.
    for (bool large : {true, false}) {
        float w, h;
        frame_canvas(large, w, h);
        for (int i = 0; i < 4; ++i) {
            const frame_polygon black = frame_black_polygon(i, large);
            const frame_polygon green = frame_green_polygon(i, large);
            float black_area = 0, green_area = 0;
            for (int v = 0; v < 4; ++v) {
                const overlay_point &a = black.vertices[v], &b = black.vertices[(v + 1) % 4];
                black_area += a.x * b.y - b.x * a.y;
                const overlay_point &c = green.vertices[v], &d = green.vertices[(v + 1) % 4];
                green_area += c.x * d.y - d.x * c.y;
            }
            EXPECT_GT(std::abs(black_area), std::abs(green_area)) << "band " << i << (large ? " large" : " small");
            EXPECT_GT(std::abs(green_area), 0) << "band " << i;
        }
    }
}
