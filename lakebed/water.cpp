// Water surface: paraboloid dimples on a 30-unit grid, pulsing, drifting and banded by height.
#include "lakebed/water.h"

#include <cmath>

#include "common/gl.h"
#include "common/world.h"
#include "render/view_volume.h"

namespace {

// Lattice squares are drawn out to this many units from the lattice centre.
constexpr int WATER_REACH = 200;
constexpr int WATER_STEP = 10;
constexpr int RIPPLE_CELL = 30;
constexpr double WATER_DRAW_DISTANCE = 320.0;
constexpr float WATER_SQUARE_RADIUS = 50.0f;

// Shapes by the phase's tenth m; m and 10 - m share a shape.
constexpr ripple_shape RIPPLE_SHAPES[10] = {
    {0.05f, 0.0f}, {0.06f, 0.1f}, {0.08f, 0.4f}, {0.12f, 0.7f}, {0.14f, 1.1f},
    {0.16f, 1.5f}, {0.14f, 1.1f}, {0.12f, 0.7f}, {0.08f, 0.4f}, {0.06f, 0.1f},
};

// Tint pair (shift of the low band's blue, deepening of the high band's blue)
// by n = tenth of the phase modulo 20; n and 20 - n share a pair.
struct water_tint {
    float shift;
    float deep;
};
constexpr water_tint WATER_TINTS[11] = {
    {0, 0},        {-0.75f, 0.5f}, {-1.5f, 0.7f}, {-2.1f, 0.9f}, {-2.5f, 1.25f}, {-3, 1.5f},
    {-3.3f, 1.7f}, {-3.6f, 2.1f},  {-3.8f, 2.3f}, {-3.9f, 2.5f}, {-4, 2.75f},
};

int phase_tenth()
{
    return (int)(world.ripple_phase * 10.0);
}

float ripple_term(const ripple_shape& s, int a, int b)
{
    return (float)((double)s.curvature * ((double)a * a) + (double)s.curvature * ((double)b * b) - s.lift);
}

}  // namespace

int floor30(int v)
{
    int f = v / RIPPLE_CELL * RIPPLE_CELL;
    if (f > v) f -= RIPPLE_CELL;
    return f;
}

ripple_shape ripple_shape_for_phase(float phase)
{
    int m = (int)(phase * 10.0) % 10;
    if (m < 0) m += 10;
    return RIPPLE_SHAPES[m];
}

float ripple_height(int ax, int az, int px, int pz)
{
    const ripple_shape s = ripple_shape_for_phase(world.ripple_phase);
    const int dx = ax - px;
    const int dz = az - pz;
    float least = ripple_term(s, dx, dz);
    const float t2 = ripple_term(s, dx, dz + RIPPLE_CELL);
    if (t2 < least) least = t2;
    const float t3 = ripple_term(s, dx + RIPPLE_CELL, dz + RIPPLE_CELL);
    if (t3 < least) least = t3;
    const float t4 = ripple_term(s, dx + RIPPLE_CELL, dz);
    if (t4 < least) least = t4;
    return (float)(0.1 * least);
}

water_rgba water_colour_for(float h)
{
    int n = phase_tenth() % 20;
    if (n < 0) n += 20;
    const water_tint& tint = WATER_TINTS[n <= 10 ? n : 20 - n];
    if (h < 0.5f) return {0, 3.3, 7.5 + (double)tint.shift, 0.5};
    if (h < 1.0f) return {0, 1.9, 4.5, 0.5};
    if (h < 1.5f) return {0, 1.1, 2.5, 0.5};
    return {0, 0, 0.7 + (double)tint.deep, 1.5};
}

void water_colour(float h)
{
    const water_rgba c = water_colour_for(h);
    glColor4d(c.r, c.g, c.b, c.a);
}

void advance_ripples(float& sx, float& sz)
{
    world.ripple_phase = (float)(world.ripple_phase + 0.1);
    const double drift = (double)world.ripple_drift + 0.1;
    world.ripple_drift = (float)drift;
    sx = (float)(5.0 * drift);
    sz = (float)(5.0 * world.ripple_drift);
}

void draw_water_surface(float camera_x, float camera_z, float camera_y)
{
    float sx, sz;
    advance_ripples(sx, sz);
    const float qx = (float)((double)camera_x + sx);
    const float qz = (float)((double)camera_z + sz);
    const int gx = (int)(qx / 30.0) * RIPPLE_CELL;
    const int gz = (int)(qz / 30.0) * RIPPLE_CELL;
    const double level = world.water_level;

    for (int i = gx - WATER_REACH; i <= gx + WATER_REACH; i += WATER_STEP) {
        for (int j = gz - WATER_REACH; j <= gz + WATER_REACH; j += WATER_STEP) {
            const int xs[4] = {i, i + WATER_STEP, i + WATER_STEP, i};
            const int zs[4] = {j, j, j + WATER_STEP, j + WATER_STEP};
            auto corner_height = [&xs, &zs](int k) {
                return ripple_height(floor30(xs[k]), floor30(zs[k]), xs[k], zs[k]);
            };
            // The first corner decides whether the square is drawn; the others
            // are worked out only for a square that is.
            float h[4];
            h[0] = corner_height(0);

            const double wx = (double)i - sx;
            const double wy = (double)h[0] + level;
            const double wz = (double)j - sz;
            if (!sphere_in_view((float)wx, (float)wy, (float)wz, WATER_SQUARE_RADIUS)) continue;
            const double dx = camera_x - wx;
            const double dy = camera_y - wy;
            const double dz = camera_z - wz;
            if (std::sqrt(dx * dx + dy * dy + dz * dz) >= WATER_DRAW_DISTANCE) continue;
            for (int k = 1; k < 4; ++k) h[k] = corner_height(k);

            glBegin(GL_POLYGON);
            for (int k = 0; k < 4; ++k) {
                water_colour(h[k]);
                glVertex3d((double)xs[k] - sx, (double)h[k] + level, (double)zs[k] - sz);
            }
            glEnd();
        }
    }
}
