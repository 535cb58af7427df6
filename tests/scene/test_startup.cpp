// Start-up generation: title points, weed beds and fish, and the order of their draws.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "common/random.h"
#include "lakebed/height_queries.h"
#include "objects/fish.h"
#include "objects/weeds.h"
#include "scene/startup.h"
#include "scene/title.h"
#include "tests/support/test_world.h"

TEST(Startup, TitlePointsTakeTheFirstTwoThousandDraws)
{
    reset_world(false);
    seed_title_points();
    // The first four numbers of the run are 41, 18467, 6334, 26500: x, z, y, kind.
    EXPECT_EQ(world.title_points[0].x, -209.0f);
    EXPECT_EQ(world.title_points[0].z, -467.0f);
    EXPECT_EQ(world.title_points[0].y, 84.0f);
    EXPECT_EQ(world.title_points[0].kind, 0);
    EXPECT_EQ(world.random_state, random_state_after(1, 2000));
    for (const title_point& p : world.title_points) {
        ASSERT_GE(p.x, -250.0f);
        ASSERT_LE(p.x, 249.0f);
        ASSERT_GE(p.y, -250.0f);
        ASSERT_LE(p.y, 249.0f);
        ASSERT_GE(p.z, -999.0f);
        ASSERT_LE(p.z, 0.0f);
        ASSERT_GE(p.kind, 0);
        ASSERT_LE(p.kind, 9);
    }
}

TEST(Startup, RibbonWeedsHaveTheirShapeAndSwayPairs)
{
    use_generated_world();
    ASSERT_EQ(world.ribbon_count, 500);
    for (int r = 0; r < world.ribbon_count; ++r) {
        const weed_record& w = world.ribbon_table[r];
        const int p = w.point_count;
        ASSERT_EQ(p % 2, 1);
        ASSERT_GE(p, 21);
        ASSERT_LE(p, 79);
        const int n = p / 2;
        // Both roots sit at the same ground level, within the drawn range plus jitter.
        EXPECT_EQ(w.points[0][1], w.points[2 * n][1]);
        for (int k : {0, 2 * n})
            for (int axis : {0, 2}) {
                EXPECT_GE(w.points[k][axis], -1000.5f);
                EXPECT_LE(w.points[k][axis], 311.2f);
            }
        // The outline climbs: the top point stands well above the roots.
        EXPECT_GT(w.points[n][1], w.points[0][1] + 10.0f * (n - 1));
        for (int q = 0; q <= n - 2; ++q) {
            EXPECT_EQ(w.sway[q], w.sway[p - 1 - q]);
            EXPECT_EQ(w.swaying_back[q], w.swaying_back[p - 1 - q]);
            EXPECT_TRUE(w.sway[q] == 0.0f || w.sway[q] == -1.0f);
        }
        EXPECT_EQ(w.swaying_back[n], 1);
        EXPECT_EQ(w.sway[n - 1], 0.0f);
        EXPECT_EQ(w.sway[n + 1], 0.0f);
        EXPECT_EQ(w.swaying_back[n - 1], 0);
        EXPECT_EQ(w.swaying_back[n + 1], 0);
    }
}

TEST(Startup, LeavesComeInClumpsOfRedLeaves)
{
    use_generated_world();
    ASSERT_GE(world.leaf_count, 1000);
    ASSERT_LE(world.leaf_count, 1900);
    int clump_size = 1;
    for (int l = 0; l < world.leaf_count; ++l) {
        const weed_record& w = world.leaf_table[l];
        ASSERT_EQ(w.point_count, 4);
        EXPECT_EQ(w.points[0][1], ground_level(w.points[0][0], w.points[0][2]));
        for (int k = 0; k < 4; ++k) EXPECT_GE(w.colors[k][0], 1.9f);
        // The tip stands above the root, 40 to 79 units away.
        const double dx = w.points[2][0] - w.points[0][0], dy = w.points[2][1] - w.points[0][1],
                     dz = w.points[2][2] - w.points[0][2];
        const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
        EXPECT_GT(dy, 0.0);
        EXPECT_GE(len, 39.99);
        EXPECT_LE(len, 79.01);
        if (l > 0 && w.points[0][0] == world.leaf_table[l - 1].points[0][0] &&
            w.points[0][2] == world.leaf_table[l - 1].points[0][2]) {
            ++clump_size;
        } else if (l > 0) {
            EXPECT_GE(clump_size, 10);
            EXPECT_LE(clump_size, 19);
            clump_size = 1;
        }
    }
    EXPECT_EQ(world.leaf_table[world.leaf_count].point_count, 0);
}

TEST(Startup, FishRangesDifferBetweenTheBuilds)
{
    for (bool saver : {false, true}) {
        use_generated_world(saver);
        const float lo = saver ? -3000.0f : -9000.0f, hi = saver ? 2999.0f : 8999.0f;
        for (const fish_record& f : world.fish_table) {
            ASSERT_GE(f.x, lo);
            ASSERT_LE(f.x, hi);
            ASSERT_GE(f.z, lo);
            ASSERT_LE(f.z, hi);
            ASSERT_EQ(f.y, -600.0f);
            ASSERT_GE(f.speed, 1.0f);
            ASSERT_LE(f.speed, 1.99f);
            ASSERT_GE(f.pitch, -45.0f);
            ASSERT_LE(f.pitch, 44.0f);
            ASSERT_GE(f.yaw, 0.0f);
            ASSERT_LT(f.yaw, 360.0f);
        }
    }
}

TEST(Startup, EveryStartBuildsTheSameWorld)
{
    use_generated_world(false);
    std::unique_ptr<world_state> first(new world_state);
    std::memcpy(first.get(), &world, sizeof world);
    reset_world(false);
    generate_world();
    EXPECT_EQ(std::memcmp(first.get(), &world, sizeof world), 0);
    // The screensaver differs only from the fish on: same bed, same plants.
    use_generated_world(true);
    EXPECT_EQ(std::memcmp(first->bed_height, world.bed_height, sizeof world.bed_height), 0);
    EXPECT_EQ(std::memcmp(first->ribbon_table, world.ribbon_table, sizeof world.ribbon_table), 0);
    EXPECT_NE(std::memcmp(first->fish_table, world.fish_table, sizeof world.fish_table), 0);
    // All generators draw the same count of numbers in both builds.
    EXPECT_EQ(first->random_state, world.random_state);
}
