// Closed spline outlines: a closed cubic spline through control points, filled as one polygon.
#pragma once

// Most control points one outline may have (the working arrays' size).
constexpr int SPLINE_POINT_LIMIT = 100;

// One segment of one coordinate: a + b t + c t^2 + d t^3 for t in 0..1.
struct spline_cubic {
    float a, b, c, d;
};

// Value of a segment at t, evaluated as ((d t + c) t + b) t + a in double.
double spline_value(const spline_cubic& s, float t);

// True when an outline of `count` points and `steps` vertices per segment can
// be built: count 2..100, steps at least 1.
bool spline_outline_fits(int count, int steps);

// Builds the closed spline through values[0..count-1] into cubic[0..count-1]
// (segment k runs from value k to value k + 1, the last one back to value 0).
// Refuses (returns false, writes nothing) a count outside 2..100.
bool build_closed_spline(const float* values, int count, spline_cubic* cubic);

// Receives one vertex of an outline: its colour entry and its position.
typedef void (*outline_vertex_sink)(void* context, const float colour[3], double x, double y,
                                    double z);

// Builds the splines of x, y and z and hands the polygon's 1 + count x steps
// vertices to `sink` in drawing order: point 0 in colour 0, then for each
// segment i its vertices at t = j / steps (j = 1..steps) in colour i. Returns
// the number of vertices handed on, 0 when count or steps is out of range.
int emit_spline_outline(const float (*points)[3], const float (*colours)[3], int count, int steps,
                        outline_vertex_sink sink, void* context);

// A box that holds every vertex emit_spline_outline gives for these points,
// whatever the steps: the control points' box widened on each side by about
// half its size (a closed spline overshoots its points by at most 4/9 of their
// spread along each axis). False, with the box undefined, where count is out
// of range or a coordinate is not a number.
bool spline_outline_box(const float (*points)[3], int count, double low[3], double high[3]);

// Draws the outline as one filled GL_POLYGON with a colour per segment. An
// outline whose count or steps is out of range is not drawn.
void draw_spline_outline(const float (*points)[3], const float (*colours)[3], int count, int steps);

// Draws the outline as draw_spline_outline does, unless all its vertices lie
// beyond one plane of the view volume (render/view_volume.h): then it could
// not reach a pixel, and only the colour its last vertex would have left
// current is set. Returns whether it was sent.
bool draw_spline_outline_in_view(const float (*points)[3], const float (*colours)[3], int count, int steps);
