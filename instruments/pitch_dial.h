// Pitch dial: a side-view figure of 23 polygons that tilts with the camera pitch.
#pragma once

constexpr int PITCH_FIGURE_POLYGON_COUNT = 23;
constexpr int PITCH_POLYGON_VERTEX_LIMIT = 10;

enum pitch_colour { FIGURE_GREY, FIGURE_BLACK, FIGURE_WHITE, FIGURE_YELLOW };

// One polygon of the figure, in figure units.
struct pitch_polygon {
    pitch_colour colour;
    int vertex_count;
    float vertices[PITCH_POLYGON_VERTEX_LIMIT][2];
};

// The figure's polygons in drawing order.
const pitch_polygon* pitch_figure();

// Overlay units per figure unit: 0.25 in the large layout, 0.1 in the small one.
double pitch_figure_unit(bool large_layout);

// The figure point about which the figure turns, and where it is placed (in
// figure units; both are multiplied by the figure unit).
constexpr float PITCH_PIVOT_X = 280, PITCH_PIVOT_Y = 100;
constexpr float PITCH_PIVOT_PLACE_X = 780, PITCH_PIVOT_PLACE_Y = 280;

// Draws the dial body and the figure turned clockwise by `pitch` degrees.
// Leaves the model-view matrix as it found it.
void draw_pitch_dial(float pitch, bool large_layout);
