// The interactive camera's movement rule: clearance, turning, pitch and height limits.
#include <cmath>

#include "common/angles.h"
#include "common/keys.h"
#include "common/world.h"
#include "lakebed/height_queries.h"
#include "scene/camera.h"

namespace {

// Farthest horizontal distance from the lake's centre a step may reach.
constexpr double CAMERA_RADIUS_LIMIT = 10300.0;
constexpr float CAMERA_HEIGHT_LIMIT = 298.0f;
constexpr float CAMERA_PITCH_LIMIT = 89.0f;

}  // namespace

bool try_camera_step(float c0, int sign)
{
    const double yaw = world.camera_yaw * CAMERA_DEG_TO_RAD;
    const double pitch = world.camera_pitch * CAMERA_DEG_TO_RAD;
    const double s = sign;
    const float x = (float)(world.camera_x + s * std::cos(pitch) * std::cos(yaw) * world.camera_speed);
    const float z = (float)(world.camera_z - s * std::cos(pitch) * std::sin(yaw) * world.camera_speed);
    const float y = (float)(world.camera_y + s * std::sin(pitch) * world.camera_speed);
    const int ci = grid_index(x);
    const int cj = grid_index(z);

    // Close to the bed a step may not bring the camera closer to it; the
    // queries are asked only as far as the rule needs them.
    const bool keeps_clear = c0 > 20.0f || bed_clearance(x, y, z, ci, cj) >= c0;
    const bool accepted = keeps_clear && (is_above_bed(x, y, z, ci, cj) || c0 > 30.0f) &&
                          std::sqrt((double)x * x + (double)z * z) < CAMERA_RADIUS_LIMIT;
    if (accepted) {
        world.camera_x = x;
        world.camera_y = y;
        world.camera_z = z;
    } else {
        world.camera_y = (float)(world.camera_y + 0.25);
    }
    return accepted;
}

void move_camera_from_keys()
{
    const float c0 = bed_clearance(world.camera_x, world.camera_y, world.camera_z,
                                   grid_index(world.camera_x), grid_index(world.camera_z));
    if (world.keys[VK_CODE_UP]) try_camera_step(c0, +1);
    if (world.keys[VK_CODE_DOWN]) try_camera_step(c0, -1);

    if (world.keys[VK_CODE_LEFT]) world.camera_yaw += 1;
    if (world.keys[VK_CODE_RIGHT]) world.camera_yaw -= 1;
    if (world.camera_yaw >= 360)
        world.camera_yaw -= 360;
    else if (world.camera_yaw < 0)
        world.camera_yaw += 360;

    if (world.keys[VK_CODE_Q]) world.camera_pitch += 1;
    if (world.keys[VK_CODE_A]) world.camera_pitch -= 1;
    if (world.camera_pitch > CAMERA_PITCH_LIMIT)
        world.camera_pitch = CAMERA_PITCH_LIMIT;
    else if (world.camera_pitch < -CAMERA_PITCH_LIMIT)
        world.camera_pitch = -CAMERA_PITCH_LIMIT;

    hold_camera_below_surface();
}

void hold_camera_below_surface()
{
    if (world.camera_y > CAMERA_HEIGHT_LIMIT) world.camera_y = CAMERA_HEIGHT_LIMIT;
}
