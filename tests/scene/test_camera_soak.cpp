// Randomized soak: the movement rule and the queries from anywhere, with any keys.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "lakebed/height_queries.h"
#include "scene/camera.h"
#include "tests/support/test_world.h"

TEST(Soak, CameraWandersAnywhereWithinItsLimits)
{
    use_generated_world();
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<float> coordinate(-10600.0f, 10600.0f);
    std::uniform_real_distribution<float> height(-1000.0f, 400.0f);
    const int keys[] = {VK_CODE_UP, VK_CODE_DOWN, VK_CODE_LEFT, VK_CODE_RIGHT, VK_CODE_Q, VK_CODE_A};
    for (int trial = 0; trial < 60; ++trial) {
        world.camera_x = coordinate(rng);
        world.camera_z = coordinate(rng);
        world.camera_y = height(rng);
        world.camera_yaw = (float)(rng() % 360);
        world.camera_pitch = (float)((int)(rng() % 179) - 89);
        for (int frame = 0; frame < 200; ++frame) {
            if (frame % 20 == 0) {
                std::memset(world.keys, 0, sizeof world.keys);
                for (int k : keys) world.keys[k] = (rng() % 3) == 0;
            }
            move_camera_from_keys();
            ASSERT_TRUE(std::isfinite(world.camera_x) && std::isfinite(world.camera_z));
            ASSERT_LE(world.camera_y, 298.0f);
            ASSERT_GE(world.camera_yaw, 0.0f);
            ASSERT_LT(world.camera_yaw, 360.0f);
            ASSERT_LE(std::fabs(world.camera_pitch), 89.0f);
            const int ci = grid_index(world.camera_x), cj = grid_index(world.camera_z);
            const float d = bed_vertex_distance(world.camera_x, world.camera_y, world.camera_z, ci, cj);
            ASSERT_GE(d, 0.0f);
            ASSERT_TRUE(std::isfinite(ground_level(world.camera_x, world.camera_z)));
        }
    }
}
