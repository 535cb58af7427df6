// Viewer bubbles: filling, swinging, rising and restarting, and drawing in the viewer's frame.
#include "objects/bubbles.h"

#include <cmath>

#include "common/angles.h"
#include "common/gl.h"
#include "common/random.h"
#include "common/world.h"
#include "render/shape_cache.h"
#include "render/view_volume.h"

namespace {

constexpr float SWING_LIMIT = 90.0f;
// The swing angle converts with 3.14 held in single precision.
constexpr float SWING_PI = 3.14f;
// Bubbles hang 12 below the eye and 28 ahead of it.
constexpr double DRAW_DROP = 12.0;
constexpr double DRAW_AHEAD = 28.0;

}  // namespace

void reset_bubble(bubble_record& b, bool large_layout)
{
    const double x_shift = large_layout ? -10.0 : 0.0;
    b.y = (float)(-(double)(next_random() % 50) / 25.0);
    b.x = (float)((double)(next_random() % 70) / 10.0 - 2.0 + x_shift);
    b.rise_speed = (float)((double)(next_random() % 70) / 290.0 + 0.2);
    b.radius = (float)((double)(next_random() % 40) / 100.0 + 0.1);
    b.swing = 0;
    b.swing_growing = true;
}

float bubble_ceiling(bool large_layout)
{
    return large_layout ? 26.0f : 16.0f;
}

void update_bubbles(bool large_layout)
{
    if (world.bubbles_pending) {
        for (bubble_record& b : world.bubble_table) reset_bubble(b, large_layout);
        world.bubbles_pending = false;
    }
    const float ceiling = bubble_ceiling(large_layout);
    for (bubble_record& b : world.bubble_table) {
        const int step = (next_random() % 200) / 100;
        b.swing_step = (float)(b.swing_growing ? step : -step);
        b.swing = (float)((double)b.swing + b.swing_step);
        const double a = (double)b.swing * SWING_PI / 180.0;
        b.y = (float)((double)b.y + std::cos(a) * b.rise_speed);
        b.x = (float)((double)b.x + std::sin(a) * b.rise_speed);
        if (next_random() % 30 == 20) b.swing_growing = !b.swing_growing;
        if (b.swing >= SWING_LIMIT) b.swing_growing = false;
        if (b.swing <= -SWING_LIMIT) b.swing_growing = true;
        if (b.y > ceiling) reset_bubble(b, large_layout);
    }
}

int bubble_draw_count(float camera_y)
{
    // The last index drawn, worked in single precision as the float fields are.
    const float depth_share = (float)((double)(float)(300.0f - camera_y) / 1200.0);
    const float last = (float)((double)(float)(depth_share * 30.0f) + 20.0);
    int n = (int)last;
    if (n > BUBBLE_COUNT - 1) n = BUBBLE_COUNT - 1;
    if (n < -1) n = -1;
    return n + 1;
}

void draw_bubbles()
{
    const double h = world.camera_yaw * DEG_TO_RAD;
    glColor3d(2.25, 2.55, 2.55);
    glPushMatrix();
    glTranslated(world.camera_x, world.camera_y, world.camera_z);
    glPushMatrix();
    glRotated(world.camera_pitch, std::sin(h), 0.0, std::cos(h));
    glPushMatrix();
    glRotated(world.camera_yaw, 0.0, 1.0, 0.0);
    glPushMatrix();
    glRotated(90.0, 0.0, 1.0, 0.0);
    glPushMatrix();
    const int count = bubble_draw_count(world.camera_y);
    // Bubbles that would land wholly outside the scissor box are not sent;
    // the normal every sphere leaves current is set as their drawing would.
    scissor_cull cull;
    read_scissor_cull(cull);
    bool skipped_last = false;
    for (int i = 0; i < count; ++i) {
        const bubble_record& b = world.bubble_table[i];
        const double y = (double)b.y - DRAW_DROP;
        skipped_last = sphere_outside_scissor(cull, b.x, y, DRAW_AHEAD, b.radius);
        if (skipped_last) continue;
        glPushMatrix();
        glTranslated(b.x, y, DRAW_AHEAD);
        solid_sphere(b.radius);
        glPopMatrix();
    }
    if (skipped_last) leave_sphere_normal();
    for (int k = 0; k < 5; ++k) glPopMatrix();
}
