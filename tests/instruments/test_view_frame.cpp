// The view frame's bands, tongue and corner wedges on both canvases, without OpenGL.
#include <gtest/gtest.h>

#include "instruments/view_frame.h"

TEST(ViewFrame, BandsTongueAndCornersOnBothCanvases)
{
    // Large: black left band 102.4 wide, green 71.68; tongue top edge at y = 192.
    frame_polygon left = frame_black_polygon(0, true);
    ASSERT_EQ(left.vertex_count, 4);
    EXPECT_FLOAT_EQ(left.vertices[1].y, 768);
    EXPECT_FLOAT_EQ(left.vertices[2].x, 102.4f);
    EXPECT_FLOAT_EQ(frame_green_polygon(0, true).vertices[2].x, 71.68f);
    const frame_polygon tongue = frame_black_polygon(8, true);
    ASSERT_EQ(tongue.vertex_count, 4);
    EXPECT_FLOAT_EQ(tongue.vertices[1].x, 491.52f);
    EXPECT_FLOAT_EQ(tongue.vertices[1].y, 192);
    EXPECT_FLOAT_EQ(tongue.vertices[2].x, 532.48f);
    EXPECT_FLOAT_EQ(tongue.vertices[2].y, 192);
    const frame_polygon lip = frame_black_polygon(9, true);
    EXPECT_FLOAT_EQ(lip.vertices[1].y, 0.85f * 768);
    EXPECT_EQ(frame_green_polygon(8, true).vertex_count, 3);
    EXPECT_FLOAT_EQ(frame_green_polygon(8, true).vertices[1].y, 115.2f);

    // Small: black bands 41 wide at the sides and 30 high; green 28.7 and 21.
    EXPECT_FLOAT_EQ(frame_black_polygon(0, false).vertices[2].x, 41);
    EXPECT_FLOAT_EQ(frame_black_polygon(2, false).vertices[0].x, 369);
    EXPECT_FLOAT_EQ(frame_black_polygon(3, false).vertices[1].y, 30);
    EXPECT_FLOAT_EQ(frame_black_polygon(1, false).vertices[2].y, 270);
    EXPECT_FLOAT_EQ(frame_green_polygon(0, false).vertices[2].x, 28.7f);
    EXPECT_FLOAT_EQ(frame_green_polygon(3, false).vertices[1].y, 21);
    EXPECT_FLOAT_EQ(frame_green_polygon(2, false).vertices[0].x, 410 - 28.7f);

    // Corner wedges: the upper right black one is a right triangle on the band corner.
    const frame_polygon wedge = frame_black_polygon(5, false);
    ASSERT_EQ(wedge.vertex_count, 3);
    EXPECT_FLOAT_EQ(wedge.vertices[0].x, 328);
    EXPECT_FLOAT_EQ(wedge.vertices[1].x, 369);
    EXPECT_FLOAT_EQ(wedge.vertices[2].y, 210);
}
