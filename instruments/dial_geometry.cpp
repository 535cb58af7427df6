// Instrument dials without OpenGL: placements, vertex lists, needle angle, readings and texts.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/angles.h"
#include "common/world.h"
#include "instruments/dials.h"

namespace {

// The row on the 410 x 300 canvas; the large layout is the same row scaled
// by 2.5 onto 1024 x 768. Indexed by dial_id.
const dial_place small_row[] = {
    {30, 30, 20},   // bottom sounder
    {80, 30, 25},   // pitch dial
    {290, 30, 20},  // fish finder
    {330, 30, 15},  // compass
    {370, 30, 20},  // depth gauge
};

// Scale of the large layout over the small one.
double layout_scale(bool large_layout)
{
    return large_layout ? 2.5 : 1.0;
}

void set_text(dial_text& out, double x, double y, const char* text)
{
    out.at = {(float)x, (float)y};
    std::snprintf(out.text, sizeof out.text, "%s", text);
}

}  // namespace

dial_place dial_placement(dial_id dial, bool large_layout)
{
    const dial_place& base = small_row[dial];
    const double k = layout_scale(large_layout);
    return {(float)(base.mx * k), (float)(base.my * k), (float)(base.r * k)};
}

overlay_point dial_point(const dial_place& place, double degrees, double radius)
{
    const double a = degrees * DEG_TO_RAD;
    return {(float)((double)place.mx + radius * std::cos(a)),
            (float)((double)place.my + radius * std::sin(a))};
}

void dial_circle(const dial_place& place, double radius, overlay_point out[DIAL_CIRCLE_POINT_COUNT])
{
    for (int k = 0; k < DIAL_CIRCLE_POINT_COUNT; ++k) out[k] = dial_point(place, 6.0 * k, radius);
}

int sweep_wedges(const dial_place& place, float sweep, sweep_wedge out[SWEEP_WEDGE_LIMIT])
{
    const double s = sweep;
    int count = 0;
    for (int a = (int)s; (double)a <= s + 120.0 && count < SWEEP_WEDGE_LIMIT; ++a) {
        sweep_wedge& w = out[count++];
        w.shade = (float)((s + 120.0 - a) / 40.0 + 1.0);
        w.p1 = dial_point(place, a, place.r);
        w.p2 = dial_point(place, a + 2.0, place.r);
    }
    return count;
}

void advance_sweep(float& sweep)
{
    // Clockwise by 15 degrees. Holding the angle within one turn keeps the
    // 15-degree step exact however long the program runs; unbounded, the
    // float would lose it after some hundred thousand frames.
    sweep = (float)((double)sweep - 15.0);
    if (sweep < 0) sweep = (float)((double)sweep + 360.0);
}

float depth_needle_angle(float y)
{
    const float depth_units = (float)((300.0 - (double)y) / 1200.0 * 80.0);
    float theta = (float)(260.0 - 4.0 * (double)depth_units);
    if (theta > 260) theta = 260;
    if (theta < -70) theta = -70;
    return theta;
}

void depth_gauge_zone(const dial_place& place, int zone, depth_zone& out)
{
    // Green, then yellow, then red; later zones cover earlier ones.
    static const struct {
        float red, green, blue;
        int first, last;
    } zones[DEPTH_ZONE_COUNT] = {
        {0, 0.25f, 0, 120, 258},
        {0.25f, 0.25f, 0, 30, 126},
        {0.25f, 0, 0, -70, 32},
    };
    const auto& z = zones[zone];
    out.red = z.red;
    out.green = z.green;
    out.blue = z.blue;
    out.point_count = 0;
    const double radius = 0.8 * (double)place.r;
    for (int theta = z.first; theta <= z.last; theta += 6)
        out.points[out.point_count++] = dial_point(place, theta, radius);
    out.points[out.point_count++] = {place.mx, place.my};
}

void depth_scale_dots(const dial_place& place, overlay_point out[DEPTH_SCALE_DOT_COUNT])
{
    const double radius = 0.8 * (double)place.r;
    for (int k = 0; k < DEPTH_SCALE_DOT_COUNT; ++k) out[k] = dial_point(place, -70 + 10 * k, radius);
}

overlay_point depth_needle_tip(const dial_place& place, float y)
{
    return dial_point(place, depth_needle_angle(y), 0.7 * (double)place.r);
}

void update_sounder_reading(float distance)
{
    world.sounder_tick += 1;
    if (world.sounder_tick >= 4) {
        world.sounder_reading = (float)((double)distance / 1200.0 * 80.0);
        world.sounder_tick = 0;
    }
    if (world.sounder_reading < 0) world.sounder_reading = 0;
}

void update_finder_reading(int count)
{
    world.finder_tick += 1;
    if (world.finder_tick >= 4) {
        world.finder_tick = 0;
        world.finder_reading = count;
    }
}

void format_sounder_reading(float reading, char* text, size_t size)
{
    std::snprintf(text, size, "%0.1f", (double)reading);
}

void sounder_text(bool large_layout, dial_text& out)
{
    const dial_place p = dial_placement(DIAL_SOUNDER, large_layout);
    out.at = {(float)((double)p.mx - (double)p.r / 3.0), p.my};
    format_sounder_reading(world.sounder_reading, out.text, sizeof out.text);
}

void compass_labels(bool large_layout, dial_text out[2])
{
    const dial_place p = dial_placement(DIAL_COMPASS, large_layout);
    const double k = layout_scale(large_layout);
    const double k_label = k > 2 ? 1.8 : k;
    const double x = (double)p.mx - (double)p.r / (2.8 * k_label);
    set_text(out[0], x, (double)p.my + 0.7 * (double)p.r, " N ");
    set_text(out[1], x, (double)p.my - 0.85 * (double)p.r, " S ");
}

void finder_texts(bool large_layout, dial_text out[3])
{
    const dial_place p = dial_placement(DIAL_FINDER, large_layout);
    const double r = p.r;
    char count[16];
    std::snprintf(count, sizeof count, "%i", (int)world.finder_reading);
    set_text(out[0], (double)p.mx - r / 2.0, p.my, count);
    set_text(out[1], p.mx, p.my, "fish");
    const double indent = large_layout ? r / 2.0 : r / 1.5;
    set_text(out[2], (double)p.mx - indent, (double)p.my - r / 3.0, "detected");
}
