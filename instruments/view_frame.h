// View frame: the black and dark green border laid over the scene before the dials.
#pragma once

#include "instruments/dials.h"

// A frame polygon with its vertices in overlay units.
constexpr int FRAME_POLYGON_VERTEX_LIMIT = 4;
struct frame_polygon {
    int vertex_count;
    overlay_point vertices[FRAME_POLYGON_VERTEX_LIMIT];
};

constexpr int FRAME_BLACK_POLYGON_COUNT = 10;
constexpr int FRAME_GREEN_POLYGON_COUNT = 9;

// The frame's canvas: 1024 x 768 in the large layout, 410 x 300 in the small one.
void frame_canvas(bool large_layout, float& width, float& height);

// Polygon `index` of the black layer or of the green layer, scaled to the canvas.
frame_polygon frame_black_polygon(int index, bool large_layout);
frame_polygon frame_green_polygon(int index, bool large_layout);

// Where the overlay's units land in the window: its projection maps
// 0..ortho_width x 0..ortho_height onto the viewport, so unit x lands at
// x0 + sx x window pixels; the window has width x height pixels.
struct overlay_window {
    double x0, y0, sx, sy;
    int width, height;
};
overlay_window overlay_window_of(int ortho_width, int ortho_height, const int viewport[4], int window_width,
                                 int window_height);

// The rectangle of the window (x, y, width, height in pixels from the bottom
// left) that the frame leaves open: every pixel outside it has its centre
// surely inside one of the black layer's four side bands, so the frame
// paints it whatever was drawn there before. Returns false when the opening
// is empty or the mapping is degenerate. A side whose band does not reach
// the window's edge there keeps that side open to the edge.
bool view_frame_opening(bool large_layout, const overlay_window& window, int box[4]);

// Draws the black layer, then the green one over it; blending and alpha test
// are off afterwards.
void draw_view_frame(bool large_layout);
