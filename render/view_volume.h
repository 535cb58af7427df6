// The view volume shared by everything drawn in the world.
#pragma once

#include "common/world.h"

// Reads the current projection and model-view matrices and fills view_frustum
// (and drops the scissor box's planes, see limit_view_to_scissor).
void extract_view_frustum();
// Fills view_frustum from the two column-major matrices (no GL call).
void frustum_from_matrices(const float projection[16], const float modelview[16]);
// False when the sphere lies wholly outside one of the six planes.
inline bool sphere_in_view(float x, float y, float z, float r)
{
    for (const float* p : world.view_frustum)
        if ((double)p[0] * x + (double)p[1] * y + (double)p[2] * z + p[3] <= -(double)r) return false;
    return true;
}

// Adds to the view volume the four planes through the eye and the edges of
// the scissor box, while the scissor test is on (none otherwise), from the
// current matrices and viewport; only points_outside_view uses them.
void limit_view_to_scissor();

// Whether shapes that cannot reach a pixel may be left out: off unless a
// frame driver switches it on for the world it draws (and off again after),
// so that anything else drawing a plant or the lake bed sends every shape.
void leave_out_unseen(bool on);

// With leave_out_unseen on, true when every one of the n points lies more than
// `margin` beyond one and the same plane of view_frustum, or of the scissor
// box's planes: a polygon through them, or any shape within their hull,
// cannot reach a pixel. Always false with it off. (margin covers the difference between this
// test and the GL's clipping of the same points, a thousandth of a unit at
// the world's scale.)
bool points_outside_view(const double (*points)[3], int n, double margin = 1.0);

// With leave_out_unseen on, true when the box from `low` to `high` lies more
// than `margin` beyond one plane of view_frustum or of the scissor box's
// planes: then so does every point in it, and points_outside_view says so of
// any of them. Always false with it off, or where a bound is not a number.
bool box_outside_view(const double low[3], const double high[3], double margin = 1.0);

// With leave_out_unseen on, true when the sphere of `radius` around (x, y, z)
// lies more than `margin` beyond one plane of view_frustum or of the scissor
// box's planes; always false with it off.
bool sphere_outside_view(double x, double y, double z, double radius, double margin = 1.0);

// The window rectangle drawing is cut to (the scissor box) and what is needed
// to find where a sphere lands in the window, read from the GL state once.
struct scissor_cull {
    bool active;            // the scissor test is on
    double modelview[16];   // column-major, as the GL holds them
    double projection[16];
    int viewport[4];
    int box[4];             // x, y, width, height
};
// Reads the scissor test, the box, the viewport and both matrices.
void read_scissor_cull(scissor_cull& cull);
// True when the scissor test is on and no pixel inside the box can be touched
// by a shape within `radius` of (x, y, z), a point in the model-view
// coordinates the cull was read in; then drawing the shape changes nothing
// (it still changes the current normal or colour it leaves behind). The test
// keeps a margin of two pixels and says false for a sphere that reaches
// near the eye.
bool sphere_outside_scissor(const scissor_cull& cull, double x, double y, double z, double radius);
