// Weed beds: start-up generation of the ribbon weeds and red leaf clumps.
#include <cmath>

#include "common/angles.h"
#include "common/random.h"
#include "common/world.h"
#include "lakebed/height_queries.h"
#include "objects/weeds.h"

namespace {

// A horizontal position from two draws, x first: -1000 to 310.68.
float draw_position()
{
    return (float)((double)(next_random() % 50000) / 25.0 - 1000.0);
}

// A root jitter or colour offset: (r % m) / div - shift.
float draw_offset(int m, double div, double shift)
{
    return (float)((double)(next_random() % m) / div - shift);
}

void set_point(float p[3], double x, double y, double z)
{
    p[0] = (float)x;
    p[1] = (float)y;
    p[2] = (float)z;
}

// Per-point colours: the base colour plus three offsets per point (r, g, b).
void colour_points(weed_record& w, float red0, float green0, float blue0)
{
    for (int k = 0; k < w.point_count; ++k) {
        const float er = draw_offset(50, 250.0, 0.1);
        const float eg = draw_offset(50, 250.0, 0.1);
        const float eb = draw_offset(50, 250.0, 0.1);
        set_point(w.colors[k], (double)red0 + er, (double)green0 + eg, (double)blue0 + eb);
    }
}

}  // namespace

void generate_weed_beds()
{
    world.ribbon_count = 500;
    for (int index = 0; index < world.ribbon_count; ++index) {
        const float x = draw_position();
        const float z = draw_position();
        make_ribbon(x, z, index);
    }
    int last = -1;
    for (int clump = 0; clump < 100; ++clump) {
        const float x = draw_position();
        const float z = draw_position();
        last = make_leaf_clump(x, z, last);
    }
    world.leaf_count = last + 1;
}

void make_ribbon(float x, float z, int index)
{
    weed_record& w = world.ribbon_table[index];
    const float y0 = ground_level(x, z);
    const int n = next_random() % 30 + 10;
    const float step = (float)((double)(next_random() % 100) / 30.0 + 10.5);

    float jx = draw_offset(100, 100.0, 0.5);
    float jz = draw_offset(100, 100.0, 0.5);
    set_point(w.points[0], (double)x + jx, y0, (double)z + jz);
    // Rising edge, then falling edge: each point wanders by dx, dy, dz in -1..0.98.
    for (int k = 1; k <= 2 * n - 1; ++k) {
        const float dx = draw_offset(100, 50.0, 1.0);
        const float dy = draw_offset(100, 50.0, 1.0);
        const float dz = draw_offset(100, 50.0, 1.0);
        const double rise = k <= n ? (double)dy + step : (double)dy - step;
        const float* prev = w.points[k - 1];
        set_point(w.points[k], (double)prev[0] + dx, (double)prev[1] + rise, (double)prev[2] + dz);
    }
    jx = draw_offset(100, 100.0, 0.5);
    jz = draw_offset(100, 100.0, 0.5);
    set_point(w.points[2 * n], (double)x + jx, y0, (double)z + jz);
    w.point_count = 2 * n + 1;

    const float red0 = (float)((double)(next_random() % 200) / 250.0);
    const float green0 = (float)((double)(next_random() % 200) / 50.0);
    const float blue0 = (float)((double)(next_random() % 200) / 250.0);
    colour_points(w, red0, green0, blue0);

    // Points at the same step on the two edges sway together.
    const int p = w.point_count;
    for (int q = 0; q < p / 2 - 1; ++q) {
        const float sway = (float)((next_random() % 20) / 10 - 1);
        const int t = next_random();
        w.sway[q] = w.sway[p - 1 - q] = sway;
        w.swaying_back[q] = w.swaying_back[p - 1 - q] = (t % 2 == 0) ? 1 : 0;
    }
    w.sway[n] = (float)((next_random() % 20) / 10 - 1);
    w.swaying_back[n] = 1;
}

int make_leaf_clump(float x, float z, int last)
{
    const int m = next_random() % 10;
    for (int i = 1; i <= m + 10; ++i) make_leaf(x, z, last + i);
    return last + m + 10;
}

void make_leaf(float x, float z, int index)
{
    weed_record& w = world.leaf_table[index];
    const float y0 = ground_level(x, z);
    const int length = next_random() % 40 + 40;
    const int elevation = next_random() % 45 + 45;
    const int azimuth = next_random() % 360;
    const int spread = next_random() % 2 + 3;

    const double e = elevation * DEG_TO_RAD;
    auto leaf_point = [&](float p[3], int az_degrees, double len) {
        const double az = az_degrees * DEG_TO_RAD;
        set_point(p, (double)x + std::cos(az) * len * std::cos(e), (double)y0 + std::sin(e) * len,
                  (double)z + std::sin(az) * len * std::cos(e));
    };
    set_point(w.points[0], x, y0, z);
    leaf_point(w.points[1], azimuth + spread, 0.7 * length);
    leaf_point(w.points[2], azimuth, length);
    leaf_point(w.points[3], azimuth - spread, 0.7 * length);
    w.point_count = 4;

    const float red0 = (float)((double)(next_random() % 200) / 550.0 + 2.0);
    const float green0 = (float)((double)(next_random() % 200) / 550.0);
    const float blue0 = (float)((double)(next_random() % 200) / 550.0);
    colour_points(w, red0, green0, blue0);
}
