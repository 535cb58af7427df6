// Closed spline outlines: the periodic cubic spline solve, vertex generation and the GL polygon.
#include "objects/spline.h"

#include <cmath>

#include "common/gl.h"
#include "render/view_volume.h"

namespace {

// The three coordinate splines of one outline.
struct outline_splines {
    spline_cubic x[SPLINE_POINT_LIMIT];
    spline_cubic y[SPLINE_POINT_LIMIT];
    spline_cubic z[SPLINE_POINT_LIMIT];
};

// Segment k from value p to value q with slopes dp and dq at its ends.
spline_cubic hermite_segment(float p, float q, float dp, float dq)
{
    spline_cubic s;
    s.a = p;
    s.b = dp;
    s.c = (float)(3.0 * ((double)q - p) - 2.0 * dp - dq);
    s.d = (float)(2.0 * ((double)p - q) + dp + dq);
    return s;
}

// Vertices of one outline held back until it is known to be in view.
constexpr int HELD_STEP_LIMIT = 8;
constexpr int HELD_VERTEX_LIMIT = 1 + SPLINE_POINT_LIMIT * HELD_STEP_LIMIT;
struct held_outline {
    int count = 0;
    double position[HELD_VERTEX_LIMIT][3];
    const float* colour[HELD_VERTEX_LIMIT];
};

void hold_vertex(void* context, const float colour[3], double x, double y, double z)
{
    held_outline& h = *(held_outline*)context;
    h.position[h.count][0] = x;
    h.position[h.count][1] = y;
    h.position[h.count][2] = z;
    h.colour[h.count] = colour;
    ++h.count;
}

void gl_vertex_sink(void*, const float colour[3], double x, double y, double z)
{
    glColor3d(colour[0], colour[1], colour[2]);
    glVertex3d(x, y, z);
}

}  // namespace

double spline_value(const spline_cubic& s, float t)
{
    const double tt = t;
    return (((double)s.d * tt + s.c) * tt + s.b) * tt + s.a;
}

bool spline_outline_fits(int count, int steps)
{
    return count >= 2 && count <= SPLINE_POINT_LIMIT && steps >= 1;
}

bool build_closed_spline(const float* x, int count, spline_cubic* cubic)
{
    if (count < 2 || count > SPLINE_POINT_LIMIT) return false;
    const int n = count - 1;

    // The slopes D solve D[k-1] + 4 D[k] + D[k+1] = 3 (x[k+1] - x[k-1]) with
    // indices taken modulo n + 1. Forward elimination keeps the cyclic corner
    // in w (the column of D[n]) and in H, F, G (the row of D[n]).
    float v[SPLINE_POINT_LIMIT] = {};
    float w[SPLINE_POINT_LIMIT] = {};
    float y[SPLINE_POINT_LIMIT] = {};
    float slope[SPLINE_POINT_LIMIT];

    float z = 0.25f;
    v[1] = w[1] = 0.25f;
    y[0] = (float)((double)z * 3.0 * ((double)x[1] - x[n]));
    float h = 4.0f;
    float f = (float)(3.0 * ((double)x[0] - x[n - 1]));
    float g = 1.0f;
    for (int k = 1; k <= n - 1; ++k) {
        z = (float)(1.0 / (4.0 - v[k]));
        v[k + 1] = z;
        w[k + 1] = (float)(-(double)z * w[k]);
        y[k] = (float)((double)z * (3.0 * ((double)x[k + 1] - x[k - 1]) - y[k - 1]));
        h = (float)((double)h - (double)g * w[k]);
        f = (float)((double)f - (double)g * y[k - 1]);
        g = (float)(-(double)v[k] * g);
    }
    h = (float)((double)h - ((double)g + 1.0) * ((double)v[n] + w[n]));
    y[n] = (float)((double)f - ((double)g + 1.0) * y[n - 1]);

    // Back substitution.
    slope[n] = (float)((double)y[n] / h);
    slope[n - 1] = (float)((double)y[n - 1] - ((double)v[n] + w[n]) * slope[n]);
    for (int k = n - 2; k >= 0; --k)
        slope[k] = (float)((double)y[k] - (double)v[k + 1] * slope[k + 1] -
                           (double)w[k + 1] * slope[n]);

    for (int k = 0; k < n; ++k) cubic[k] = hermite_segment(x[k], x[k + 1], slope[k], slope[k + 1]);
    cubic[n] = hermite_segment(x[n], x[0], slope[n], slope[0]);
    return true;
}

int emit_spline_outline(const float (*points)[3], const float (*colours)[3], int count, int steps,
                        outline_vertex_sink sink, void* context)
{
    if (!spline_outline_fits(count, steps)) return 0;

    float xs[SPLINE_POINT_LIMIT], ys[SPLINE_POINT_LIMIT], zs[SPLINE_POINT_LIMIT];
    for (int k = 0; k < count; ++k) {
        xs[k] = points[k][0];
        ys[k] = points[k][1];
        zs[k] = points[k][2];
    }
    outline_splines s;
    build_closed_spline(xs, count, s.x);
    build_closed_spline(ys, count, s.y);
    build_closed_spline(zs, count, s.z);

    sink(context, colours[0], spline_value(s.x[0], 0.0f), spline_value(s.y[0], 0.0f),
         spline_value(s.z[0], 0.0f));
    int emitted = 1;
    for (int i = 0; i < count; ++i) {
        for (int j = 1; j <= steps; ++j) {
            const float t = (float)((double)j / steps);
            sink(context, colours[i], spline_value(s.x[i], t), spline_value(s.y[i], t),
                 spline_value(s.z[i], t));
            ++emitted;
        }
    }
    return emitted;
}

bool spline_outline_box(const float (*points)[3], int count, double low[3], double high[3])
{
    if (count < 2 || count > SPLINE_POINT_LIMIT) return false;
    // Segment k is p h00(t) + q h01(t) + dp h10(t) + dq h11(t): the first two
    // weights are at least 0 and add up to 1, the others stay within 4/27 of
    // 0. The slopes solve D[k-1] + 4 D[k] + D[k+1] = 3 (x[k+1] - x[k-1]), so
    // none exceeds 3/2 of the spread; the overshoot is then at most
    // 2 x 4/27 x 3/2 = 4/9 of it. The widening keeps a wide margin for the
    // rounding of the solve and of the coefficients.
    for (int c = 0; c < 3; ++c) {
        double lo = points[0][c], hi = points[0][c];
        for (int k = 0; k < count; ++k) {
            const double v = points[k][c];
            // No box holds a vertex that is not a number.
            if (std::isnan(v)) return false;
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        const double widen = 0.5 * (hi - lo) + 1e-4 * (std::fabs(lo) + std::fabs(hi)) + 1e-3;
        low[c] = lo - widen;
        high[c] = hi + widen;
    }
    return true;
}

void draw_spline_outline(const float (*points)[3], const float (*colours)[3], int count, int steps)
{
    if (!spline_outline_fits(count, steps)) return;
    glBegin(GL_POLYGON);
    emit_spline_outline(points, colours, count, steps, gl_vertex_sink, nullptr);
    glEnd();
}

bool draw_spline_outline_in_view(const float (*points)[3], const float (*colours)[3], int count, int steps)
{
    if (!spline_outline_fits(count, steps)) return false;
    if (steps > HELD_STEP_LIMIT) {
        draw_spline_outline(points, colours, count, steps);
        return true;
    }
    // Most outlines left out lie well beyond a plane: their box says so
    // before any spline is built.
    double low[3], high[3];
    if (spline_outline_box(points, count, low, high) && box_outside_view(low, high)) {
        const float* last = colours[count - 1];
        glColor3d(last[0], last[1], last[2]);
        return false;
    }
    static held_outline held;
    held.count = 0;
    emit_spline_outline(points, colours, count, steps, hold_vertex, &held);
    const float* last = held.colour[held.count - 1];
    if (points_outside_view(held.position, held.count)) {
        glColor3d(last[0], last[1], last[2]);
        return false;
    }
    glBegin(GL_POLYGON);
    for (int k = 0; k < held.count; ++k)
        gl_vertex_sink(nullptr, held.colour[k], held.position[k][0], held.position[k][1], held.position[k][2]);
    glEnd();
    return true;
}
