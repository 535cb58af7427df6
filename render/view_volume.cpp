// The view volume: frustum planes from the current matrices and the sphere test used by everything drawn in the world.
#include "render/view_volume.h"

#include <cmath>

#include "common/gl.h"
#include "common/world.h"

namespace {

// Plane (a, b, c, d) normalised by the length of its normal.
void set_plane(float* plane, float a, float b, float c, float d)
{
    const double length = std::sqrt((double)a * a + (double)b * b + (double)c * c);
    plane[0] = (float)(a / length);
    plane[1] = (float)(b / length);
    plane[2] = (float)(c / length);
    plane[3] = (float)(d / length);
}

// The planes through the eye and the scissor box's edges, in world
// coordinates, normalised; inside where positive.
double scissor_planes[4][4];
int scissor_plane_count = 0;
bool unseen_left_out = false;

}  // namespace

void frustum_from_matrices(const float projection[16], const float modelview[16])
{
    const float* P = projection;
    const float* M = modelview;
    float K[16];
    for (int k = 0; k < 4; ++k)
        for (int m = 0; m < 4; ++m)
            K[4 * k + m] = (float)((double)M[4 * k] * P[m] + (double)M[4 * k + 1] * P[4 + m] +
                                   (double)M[4 * k + 2] * P[8 + m] + (double)M[4 * k + 3] * P[12 + m]);
    float(*f)[4] = world.view_frustum;
    set_plane(f[0], K[3] - K[0], K[7] - K[4], K[11] - K[8], K[15] - K[12]);  // right
    set_plane(f[1], K[3] + K[0], K[7] + K[4], K[11] + K[8], K[15] + K[12]);  // left
    set_plane(f[2], K[3] + K[1], K[7] + K[5], K[11] + K[9], K[15] + K[13]);  // bottom
    set_plane(f[3], K[3] - K[1], K[7] - K[5], K[11] - K[9], K[15] - K[13]);  // top
    set_plane(f[4], K[3] - K[2], K[7] - K[6], K[11] - K[10], K[15] - K[14]);  // far
    set_plane(f[5], K[3] + K[2], K[7] + K[6], K[11] + K[10], K[15] + K[14]);  // near
}

void extract_view_frustum()
{
    // A new view: the scissor's planes belong to the old one.
    scissor_plane_count = 0;
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    frustum_from_matrices(projection, modelview);
}

void limit_view_to_scissor()
{
    scissor_plane_count = 0;
    if (glIsEnabled(GL_SCISSOR_TEST) != GL_TRUE) return;
    float P[16], M[16];
    GLint viewport[4], box[4];
    glGetFloatv(GL_PROJECTION_MATRIX, P);
    glGetFloatv(GL_MODELVIEW_MATRIX, M);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, box);
    if (viewport[2] <= 0 || viewport[3] <= 0) return;
    // Row r of the clip transform K = P M: clip_r = K[r] x + K[4 + r] y + K[8 + r] z + K[12 + r].
    double K[16];
    for (int k = 0; k < 4; ++k)
        for (int m = 0; m < 4; ++m)
            K[4 * k + m] = (double)M[4 * k] * P[m] + (double)M[4 * k + 1] * P[4 + m] +
                           (double)M[4 * k + 2] * P[8 + m] + (double)M[4 * k + 3] * P[12 + m];
    // Window column x lies at x_ndc = 2 (x - viewport x) / width - 1; a
    // point is inside the left edge where clip_x - x_ndc clip_w >= 0, which
    // is linear in the point, so it holds for a whole polygon, behind the eye
    // or not, when it holds for its corners.
    const double left = 2.0 * (box[0] - viewport[0]) / viewport[2] - 1;
    const double right = 2.0 * (box[0] + box[2] - viewport[0]) / viewport[2] - 1;
    const double bottom = 2.0 * (box[1] - viewport[1]) / viewport[3] - 1;
    const double top = 2.0 * (box[1] + box[3] - viewport[1]) / viewport[3] - 1;
    const struct {
        int row;
        double edge, sign;
    } edges[4] = {{0, left, 1}, {0, right, -1}, {1, bottom, 1}, {1, top, -1}};
    for (const auto& e : edges) {
        double* plane = scissor_planes[scissor_plane_count];
        for (int c = 0; c < 4; ++c) plane[c] = e.sign * (K[4 * c + e.row] - e.edge * K[4 * c + 3]);
        const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        if (!(length > 0)) continue;
        for (int c = 0; c < 4; ++c) plane[c] /= length;
        ++scissor_plane_count;
    }
}

void leave_out_unseen(bool on)
{
    unseen_left_out = on;
}

namespace {

// Whether `beyond(a, b, c, d)` holds for one plane of view_frustum or of the
// scissor box's planes, each taken in double precision.
template <typename test>
inline bool beyond_some_plane(test beyond)
{
    for (const float* p : world.view_frustum)
        if (beyond((double)p[0], (double)p[1], (double)p[2], (double)p[3])) return true;
    for (int q = 0; q < scissor_plane_count; ++q) {
        const double* p = scissor_planes[q];
        if (beyond(p[0], p[1], p[2], p[3])) return true;
    }
    return false;
}

}  // namespace

bool points_outside_view(const double (*points)[3], int n, double margin)
{
    if (!unseen_left_out || n <= 0) return false;
    return beyond_some_plane([points, n, margin](double a, double b, double c, double d) {
        for (int k = 0; k < n; ++k)
            if (!(a * points[k][0] + b * points[k][1] + c * points[k][2] + d < -margin)) return false;
        return true;
    });
}

bool box_outside_view(const double low[3], const double high[3], double margin)
{
    if (!unseen_left_out) return false;
    // A hair more than the margin covers the rounding of the points' own sums.
    const double reach = -(margin + 1e-6);
    // The plane's function is largest over the box at the corner farthest
    // along its normal.
    return beyond_some_plane([low, high, reach](double a, double b, double c, double d) {
        return a * (a > 0 ? high[0] : low[0]) + b * (b > 0 ? high[1] : low[1]) + c * (c > 0 ? high[2] : low[2]) +
                   d <
               reach;
    });
}

bool sphere_outside_view(double x, double y, double z, double radius, double margin)
{
    if (!unseen_left_out) return false;
    const double reach = -(radius + margin);
    return beyond_some_plane(
        [x, y, z, reach](double a, double b, double c, double d) { return a * x + b * y + c * z + d < reach; });
}

void read_scissor_cull(scissor_cull& cull)
{
    cull.active = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    if (!cull.active) return;
    glGetDoublev(GL_MODELVIEW_MATRIX, cull.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, cull.projection);
    glGetIntegerv(GL_VIEWPORT, cull.viewport);
    glGetIntegerv(GL_SCISSOR_BOX, cull.box);
}

bool sphere_outside_scissor(const scissor_cull& cull, double x, double y, double z, double radius)
{
    if (!cull.active) return false;
    const double* M = cull.modelview;
    const double* P = cull.projection;
    // The centre in eye coordinates; the model-view matrix only turns and
    // moves, so the sphere keeps its radius there.
    double eye[3];
    for (int r = 0; r < 3; ++r) eye[r] = M[r] * x + M[4 + r] * y + M[8 + r] * z + M[12 + r];
    // The window rectangle around the eight corners of the box around the
    // sphere: the projection of a box wholly in front of the eye lies within
    // the hull of its projected corners.
    double low_x = HUGE_VAL, high_x = -HUGE_VAL, low_y = HUGE_VAL, high_y = -HUGE_VAL;
    for (int corner = 0; corner < 8; ++corner) {
        const double c[3] = {eye[0] + (corner & 1 ? radius : -radius), eye[1] + (corner & 2 ? radius : -radius),
                             eye[2] + (corner & 4 ? radius : -radius)};
        double clip[4];
        for (int r = 0; r < 4; ++r) clip[r] = P[r] * c[0] + P[4 + r] * c[1] + P[8 + r] * c[2] + P[12 + r];
        if (!(clip[3] > 1e-3)) return false;
        const double wx = cull.viewport[0] + (clip[0] / clip[3] + 1) * 0.5 * cull.viewport[2];
        const double wy = cull.viewport[1] + (clip[1] / clip[3] + 1) * 0.5 * cull.viewport[3];
        low_x = std::fmin(low_x, wx);
        high_x = std::fmax(high_x, wx);
        low_y = std::fmin(low_y, wy);
        high_y = std::fmax(high_y, wy);
    }
    // Pixel (i, j) is inside the box for box x <= i < box x + width; its
    // centre is (i + 0.5, j + 0.5).
    constexpr double MARGIN = 2.0;
    return high_x + MARGIN < cull.box[0] + 0.5 || low_x - MARGIN > cull.box[0] + cull.box[2] - 0.5 ||
           high_y + MARGIN < cull.box[1] + 0.5 || low_y - MARGIN > cull.box[1] + cull.box[3] - 0.5;
}
