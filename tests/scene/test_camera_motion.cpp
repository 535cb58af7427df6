// The interactive camera's movement rule: keys, clearance, limits and wrapping.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "common/angles.h"
#include "lakebed/height_queries.h"
#include "scene/camera.h"
#include "tests/support/test_world.h"

namespace {

void hold(std::initializer_list<int> keys)
{
    std::memset(world.keys, 0, sizeof world.keys);
    for (int k : keys) world.keys[k] = true;
}

void place(float x, float y, float z, float yaw, float pitch)
{
    world.camera_x = x;
    world.camera_y = y;
    world.camera_z = z;
    world.camera_yaw = yaw;
    world.camera_pitch = pitch;
}

void flatten(int lo, int hi, float h)
{
    for (int i = lo; i <= hi; ++i)
        for (int j = lo; j <= hi; ++j) world.bed_height[i][j] = h;
}

}  // namespace

TEST(CameraMotion, StartValuesOfBothPrograms)
{
    reset_world(false);
    EXPECT_EQ(world.camera_x, 0.0f);
    EXPECT_EQ(world.camera_y, -600.0f);
    EXPECT_EQ(world.camera_z, -50.0f);
    EXPECT_EQ(world.camera_pitch, 10.0f);
    EXPECT_EQ(world.camera_yaw, -90.0f);
    EXPECT_EQ(world.camera_speed, 3.0f);
    reset_world(true);
    EXPECT_EQ(world.camera_x, 300.0f);
    EXPECT_EQ(world.camera_y, -800.0f);
    EXPECT_EQ(world.camera_z, 0.0f);
    EXPECT_EQ(world.camera_yaw, -90.0f);
}

TEST(CameraMotion, TurningWrapsAndOpposingKeysCancel)
{
    use_generated_world();
    place(0, -600, -50, 359, 10);
    hold({VK_CODE_LEFT});
    move_camera_from_keys();
    EXPECT_EQ(world.camera_yaw, 0.0f);
    hold({VK_CODE_RIGHT});
    move_camera_from_keys();
    EXPECT_EQ(world.camera_yaw, 359.0f);
    // The start yaw of -90 is wrapped at the first frame even with no key.
    world.camera_yaw = -90;
    hold({VK_CODE_LEFT, VK_CODE_RIGHT, VK_CODE_Q, VK_CODE_A});
    move_camera_from_keys();
    EXPECT_EQ(world.camera_yaw, 270.0f);
    EXPECT_EQ(world.camera_pitch, 10.0f);
}

TEST(CameraMotion, PitchIsHeldWithinEightyNineDegrees)
{
    use_generated_world();
    place(0, -600, -50, 0, 89);
    hold({VK_CODE_Q});
    move_camera_from_keys();
    EXPECT_EQ(world.camera_pitch, 89.0f);
    world.camera_pitch = -89;
    hold({VK_CODE_A});
    move_camera_from_keys();
    EXPECT_EQ(world.camera_pitch, -89.0f);
}

TEST(CameraMotion, StepFollowsTheViewWithTheCameraConstant)
{
    use_generated_world();
    place(0, -600, -50, 30, 10);
    hold({VK_CODE_UP});
    move_camera_from_keys();
    const double y = 30 * CAMERA_DEG_TO_RAD, p = 10 * CAMERA_DEG_TO_RAD;
    EXPECT_EQ(world.camera_x, (float)(0 + std::cos(p) * std::cos(y) * 3));
    EXPECT_EQ(world.camera_z, (float)(-50 - std::cos(p) * std::sin(y) * 3));
    EXPECT_EQ(world.camera_y, (float)(-600 + std::sin(p) * 3));

    // Up and Down together: forward, then back from the new position.
    place(0, -600, -50, 30, 10);
    hold({VK_CODE_UP, VK_CODE_DOWN});
    move_camera_from_keys();
    EXPECT_NEAR(world.camera_x, 0.0f, 1e-5);
    EXPECT_NEAR(world.camera_y, -600.0f, 1e-4);
    EXPECT_NEAR(world.camera_z, -50.0f, 1e-5);
}

TEST(CameraMotion, CloseToTheBedAStepMayNotComeCloser)
{
    use_generated_world();
    flatten(950, 1050, -500.0f);
    // 10 above a flat bed: clearance 10 <= 20.
    place(5, -490, 5, 0, -30);
    hold({VK_CODE_UP});
    move_camera_from_keys();
    // Refused: position kept, the camera rises a quarter unit.
    EXPECT_EQ(world.camera_x, 5.0f);
    EXPECT_EQ(world.camera_z, 5.0f);
    EXPECT_EQ(world.camera_y, -489.75f);

    // Level steps keep the clearance and are accepted.
    place(5, -490, 5, 0, 0);
    move_camera_from_keys();
    EXPECT_EQ(world.camera_x, 8.0f);
    EXPECT_EQ(world.camera_y, -490.0f);

    // Held, a refused key slides the camera upward off the bed.
    place(5, -490, 5, 0, -30);
    for (int frame = 0; frame < 40; ++frame) move_camera_from_keys();
    EXPECT_GT(world.camera_y, -490.0f);
}

TEST(CameraMotion, RadiusLimitRefusesAndTheHeightLimitHolds)
{
    use_generated_world();
    // Outside the field every window is empty, so only the radius limit decides.
    place(10299, 100, 0, 0, 0);
    hold({VK_CODE_UP});
    move_camera_from_keys();
    EXPECT_EQ(world.camera_x, 10299.0f);
    EXPECT_EQ(world.camera_y, 100.25f);
    // Inside the limit the same step is taken.
    place(10290, 100, 0, 0, 0);
    move_camera_from_keys();
    EXPECT_EQ(world.camera_x, 10293.0f);

    // Pressing on upward at the height limit is clamped back to 298.
    place(10000, 298, 10000, 45, 60);
    for (int frame = 0; frame < 5; ++frame) {
        move_camera_from_keys();
        EXPECT_EQ(world.camera_y, 298.0f);
    }
}

TEST(CameraMotion, FarOutsideTheFieldNothingBreaks)
{
    use_generated_world();
    for (float x : {1e30f, -1e30f, -10010.0f, 9995.0f}) {
        place(x, 0, x, 45, -20);
        hold({VK_CODE_UP, VK_CODE_DOWN, VK_CODE_LEFT});
        move_camera_from_keys();
        EXPECT_TRUE(std::isfinite(world.camera_y));
        EXPECT_LE(world.camera_y, 298.0f);
    }
}

// Randomized soak: the movement rule and the queries from anywhere, with any keys.
TEST(CameraMotion, SoakWandersAnywhereWithinItsLimits)
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
