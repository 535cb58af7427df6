// Weed beds: the per-frame pass that draws, recycles and sways the plants around the viewer.
#include <cmath>

#include "common/world.h"
#include "lakebed/height_queries.h"
#include "render/view_volume.h"
#include "objects/spline.h"
#include "objects/weeds.h"

namespace {

constexpr int WEED_STEPS = 2;  // spline vertices per outline segment
constexpr float RIBBON_VIEW_RADIUS = 550.0f;
constexpr double SWAY_STEP = 0.1;
constexpr float SWAY_LIMIT = 1.0f;

// Records in use, never more than the table holds.
int in_use(int count)
{
    return count < 0 ? 0 : (count > WEED_TABLE_SIZE ? WEED_TABLE_SIZE : count);
}

// Points in use, never more than a record holds.
int points_in_use(const weed_record& w)
{
    return w.point_count < 0 ? 0 : (w.point_count > WEED_POINT_LIMIT ? WEED_POINT_LIMIT : w.point_count);
}

// A plant wholly outside the view volume is left out.
void draw_weed(const weed_record& w)
{
    draw_spline_outline_in_view(w.points, w.colors, w.point_count, WEED_STEPS);
}

}  // namespace

double weed_distance(const weed_record& w, float camera_x, float camera_z)
{
    const double dx = (double)camera_x - w.points[0][0];
    const double dz = (double)camera_z - w.points[0][2];
    return std::sqrt(dx * dx + dz * dz);
}

void move_weed_through_camera(weed_record& w, float camera_x, float camera_z, double distance)
{
    const float x0 = w.points[0][0];
    const float y0 = w.points[0][1];
    const float z0 = w.points[0][2];
    const float new_x0 = (float)((double)camera_x + ((double)camera_x - x0) * WEED_PLACE_RADIUS / distance);
    const float new_z0 = (float)((double)camera_z + ((double)camera_z - z0) * WEED_PLACE_RADIUS / distance);
    const int n = points_in_use(w);
    for (int k = 0; k < n; ++k) {
        w.points[k][0] = (float)((double)new_x0 + ((double)w.points[k][0] - x0));
        w.points[k][2] = (float)((double)new_z0 + ((double)w.points[k][2] - z0));
    }
    // Both heights are floats, so their difference is exact in double and the
    // root lands exactly on the ground level.
    const double lift = (double)ground_level(new_x0, new_z0) - y0;
    for (int k = 0; k < n; ++k) w.points[k][1] = (float)((double)w.points[k][1] + lift);
}

void recycle_weeds(weed_record* table, int count, float camera_x, float camera_z)
{
    const int n = in_use(count);
    for (int r = 0; r < n; ++r) {
        const double d = weed_distance(table[r], camera_x, camera_z);
        if (d > WEED_RECYCLE_RADIUS) move_weed_through_camera(table[r], camera_x, camera_z, d);
    }
}

void sway_ribbons()
{
    const int n = in_use(world.ribbon_count);
    for (int r = 0; r < n; ++r) {
        weed_record& w = world.ribbon_table[r];
        // Both root points stay where they are.
        const int last = points_in_use(w) - 1;
        for (int k = 1; k < last; ++k) {
            const double s = w.swaying_back[k] == 1 ? -1.0 : 1.0;
            w.sway[k] = (float)((double)w.sway[k] + SWAY_STEP * s);
            w.points[k][0] = (float)((double)w.points[k][0] + SWAY_STEP * s);
            // The clamps hold the sway only; x keeps the whole step.
            if (w.sway[k] > SWAY_LIMIT) {
                w.sway[k] = SWAY_LIMIT;
                w.swaying_back[k] = 1;
            }
            if (w.sway[k] < -SWAY_LIMIT) {
                w.sway[k] = -SWAY_LIMIT;
                w.swaying_back[k] = 0;
            }
        }
    }
}

void move_weed_beds(float camera_x, float camera_z)
{
    recycle_weeds(world.ribbon_table, world.ribbon_count, camera_x, camera_z);
    sway_ribbons();
    recycle_weeds(world.leaf_table, world.leaf_count, camera_x, camera_z);
}

void update_weed_beds(float camera_x, float camera_z)
{
    const int ribbons = in_use(world.ribbon_count);
    for (int r = 0; r < ribbons; ++r) {
        const weed_record& w = world.ribbon_table[r];
        if (weed_distance(w, camera_x, camera_z) < WEED_DRAW_RADIUS &&
            sphere_in_view(w.points[0][0], w.points[0][1], w.points[0][2], RIBBON_VIEW_RADIUS))
            draw_weed(w);
    }
    recycle_weeds(world.ribbon_table, world.ribbon_count, camera_x, camera_z);
    sway_ribbons();

    // Leaves are drawn whenever they are near, in view or not.
    const int leaves = in_use(world.leaf_count);
    for (int r = 0; r < leaves; ++r) {
        const weed_record& w = world.leaf_table[r];
        if (weed_distance(w, camera_x, camera_z) < WEED_DRAW_RADIUS) draw_weed(w);
    }
    recycle_weeds(world.leaf_table, world.leaf_count, camera_x, camera_z);
}
