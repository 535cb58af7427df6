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

// The rectangle of a client_width x client_height window (in pixels, from the
// bottom left) that the frame leaves open: every pixel outside it has its
// centre strictly inside one of the black layer's four side bands, so the
// frame paints it whatever was drawn there before. Returns false, leaving the
// arguments alone, when the bands do not reach every edge of the window (a
// window larger than the frame's canvas, as in the small layout).
bool view_frame_opening(bool large_layout, int client_width, int client_height, int& x, int& y,
                        int& width, int& height);

// Draws the black layer, then the green one over it; blending and alpha test
// are off afterwards.
void draw_view_frame(bool large_layout);
