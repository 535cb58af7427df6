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

// Draws the black layer, then the green one over it; blending and alpha test
// are off afterwards.
void draw_view_frame(bool large_layout);
