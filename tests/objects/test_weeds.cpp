// Weed beds per frame: recycling through the camera, ground level at the new root, sway.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "lakebed/height_queries.h"
#include "objects/weeds.h"
#include "tests/support/test_world.h"
#include "tests/support/weed_placement.h"

namespace {

double root_distance(const weed_record& w, double cx, double cz)
{
    return std::hypot(cx - w.points[0][0], cz - w.points[0][2]);
}

// The segment count n of a ribbon of 2n + 1 points.
int segments(const weed_record& w)
{
    return (w.point_count - 1) / 2;
}

}  // namespace

TEST(Weeds, RecyclingMovesThroughTheCameraKeepingTheShape)
{
    use_generated_world();
    const float cx = 2000, cz = -1500;
    for (weed_record* w : {&world.ribbon_table[3], &world.leaf_table[40]}) {
        const weed_record before = *w;
        const double d = root_distance(before, cx, cz);
        ASSERT_GT(d, 500.0);
        move_weed_through_camera(*w, cx, cz, d);

        // The new root is 450 from the camera, on the far side of it.
        EXPECT_NEAR(root_distance(*w, cx, cz), 450.0, 1e-3);
        const double ox = before.points[0][0] - cx, oz = before.points[0][2] - cz;
        const double nx = w->points[0][0] - cx, nz = w->points[0][2] - cz;
        EXPECT_NEAR((ox * nx + oz * nz) / (d * 450.0), -1.0, 1e-6);
        // Root exactly at the ground level there; every point moved by the same offset.
        EXPECT_EQ(w->points[0][1], ground_level(w->points[0][0], w->points[0][2]));
        const double lift = (double)w->points[0][1] - before.points[0][1];
        for (int k = 1; k < w->point_count; ++k) {
            EXPECT_NEAR((double)w->points[k][0] - w->points[0][0],
                        (double)before.points[k][0] - before.points[0][0], 1e-3);
            EXPECT_NEAR((double)w->points[k][2] - w->points[0][2],
                        (double)before.points[k][2] - before.points[0][2], 1e-3);
            EXPECT_NEAR((double)w->points[k][1] - before.points[k][1], lift, 1e-3);
        }
        // Colours and sway state are not touched.
        EXPECT_EQ(std::memcmp(w->colors, before.colors, sizeof before.colors), 0);
        EXPECT_EQ(std::memcmp(w->sway, before.sway, sizeof before.sway), 0);
    }
}

TEST(Weeds, OnlyPlantsBeyond500AreRecycledAndOnlyOnce)
{
    use_generated_world();
    const float cx = -300, cz = 100;
    weed_record& at_limit = world.ribbon_table[0];
    weed_record& beyond = world.ribbon_table[1];
    put_root_at(at_limit, cx, cz, 500.0f);
    put_root_at(beyond, cx, cz, 500.5f);
    const weed_record limit_before = at_limit;
    recycle_weeds(world.ribbon_table, world.ribbon_count, cx, cz);
    EXPECT_EQ(std::memcmp(&at_limit, &limit_before, sizeof at_limit), 0);
    EXPECT_NEAR(beyond.points[0][0], cx - 450.0f, 1e-3);
    EXPECT_NEAR(beyond.points[0][2], cz, 1e-3);

    // After one pass every plant in use lies within 500 and a second pass moves none.
    recycle_weeds(world.leaf_table, world.leaf_count, cx, cz);
    for (int r = 0; r < world.ribbon_count; ++r)
        EXPECT_LE(weed_distance(world.ribbon_table[r], cx, cz), 500.0);
    for (int r = 0; r < world.leaf_count; ++r)
        EXPECT_LE(weed_distance(world.leaf_table[r], cx, cz), 500.0);
    const weed_record sample = world.leaf_table[123];
    recycle_weeds(world.leaf_table, world.leaf_count, cx, cz);
    EXPECT_EQ(std::memcmp(&world.leaf_table[123], &sample, sizeof sample), 0);
    // Records past the count in use are never touched.
    EXPECT_EQ(world.leaf_table[world.leaf_count].point_count, 0);
    EXPECT_EQ(world.leaf_table[world.leaf_count].points[0][0], 0.0f);
}

TEST(Weeds, RecyclingAtTheFieldEdgeStandsOnTheNearestGround)
{
    use_generated_world();
    // A camera at the field's corner sends plants past the edge of the field;
    // their roots still land on a ground level read inside the field.
    for (float c : {9995.0f, -9999.0f}) {
        recycle_weeds(world.ribbon_table, world.ribbon_count, c, c);
        for (int r = 0; r < world.ribbon_count; ++r) {
            const weed_record& w = world.ribbon_table[r];
            ASSERT_NEAR(weed_distance(w, c, c), 450.0, 1e-2);
            ASSERT_EQ(w.points[0][1], ground_level(w.points[0][0], w.points[0][2]));
            ASSERT_TRUE(std::isfinite(w.points[0][1]));
            ASSERT_LT(w.points[0][1], 1000.0f);
        }
    }
    // Beyond the edge the ground is that of the last vertices inside.
    EXPECT_EQ(ground_level(10400.0f, 0.0f), ground_level(9975.0f, 0.0f));
}

TEST(Weeds, SwayPairsMoveTogetherAndRootsStay)
{
    use_generated_world();
    weed_record& w = world.ribbon_table[7];
    const int n = segments(w);
    ASSERT_GE(n, 10);
    // Start: the top moves toward -x; the two beside it start at 0 toward +x.
    EXPECT_EQ(w.swaying_back[n], 1);
    for (int k : {n - 1, n + 1}) {
        EXPECT_EQ(w.sway[k], 0.0f);
        EXPECT_EQ(w.swaying_back[k], 0);
    }
    const weed_record start = w;
    for (int frame = 1; frame <= 100; ++frame) {
        sway_ribbons();
        for (int q = 1; q <= n - 2; ++q) {
            ASSERT_EQ(w.sway[q], w.sway[2 * n - q]) << "frame " << frame << " point " << q;
            ASSERT_EQ(w.swaying_back[q], w.swaying_back[2 * n - q]);
            ASSERT_NEAR((double)w.points[q][0] - start.points[q][0],
                        (double)w.points[2 * n - q][0] - start.points[2 * n - q][0], 1e-3);
        }
        for (int k = 1; k < 2 * n; ++k) ASSERT_LE(std::fabs(w.sway[k]), 1.0f);
        // Only x changes, and the roots do not move at all.
        for (int k = 0; k <= 2 * n; ++k) {
            ASSERT_EQ(w.points[k][1], start.points[k][1]);
            ASSERT_EQ(w.points[k][2], start.points[k][2]);
        }
        ASSERT_EQ(w.points[0][0], start.points[0][0]);
        ASSERT_EQ(w.points[2 * n][0], start.points[2 * n][0]);
        if (frame == 1) {
            EXPECT_NEAR(w.points[n][0], start.points[n][0] - 0.1, 1e-4);
            EXPECT_NEAR(w.points[n - 1][0], start.points[n - 1][0] + 0.1, 1e-4);
        }
    }
}

TEST(Weeds, APointSwingsTwoUnitsTwentyFramesEachWay)
{
    use_generated_world();
    weed_record& w = world.ribbon_table[12];
    const int n = segments(w);
    // Point n + 1 starts at sway 0 moving toward +x: it turns after 10 frames,
    // then every 20 frames, and its x stays within a 2-unit swing.
    const int k = n + 1;
    int last_turn = 0, turns = 0;
    uint8_t direction = w.swaying_back[k];
    float low = w.points[k][0], high = w.points[k][0];
    for (int frame = 1; frame <= 400; ++frame) {
        sway_ribbons();
        low = std::min(low, w.points[k][0]);
        high = std::max(high, w.points[k][0]);
        if (w.swaying_back[k] != direction) {
            direction = w.swaying_back[k];
            if (turns == 0) {
                EXPECT_GE(frame, 10);
                EXPECT_LE(frame, 11);
            } else {
                EXPECT_EQ(frame - last_turn, 20) << "turn " << turns;
            }
            last_turn = frame;
            ++turns;
        }
    }
    EXPECT_GE(turns, 19);
    EXPECT_NEAR(high - low, 2.0, 0.15);
}

TEST(Weeds, AFrameWithNothingNearDrawsNothingAndRecyclesInPassOrder)
{
    use_generated_world();
    // Far from every plant nothing is drawn, so the pass needs no GL context:
    // all plants are recycled, and the ribbons swayed once after recycling.
    const float cx = 5000, cz = 5000;
    const weed_record ribbon = world.ribbon_table[0];
    const weed_record leaf = world.leaf_table[0];
    update_weed_beds(cx, cz);
    weed_record expected = ribbon;
    move_weed_through_camera(expected, cx, cz, weed_distance(expected, cx, cz));
    weed_record swayed = expected;
    // Sway of the recycled copy by hand: every inner point by 0.1 in its direction.
    for (int k = 1; k < swayed.point_count - 1; ++k)
        swayed.points[k][0] = (float)((double)swayed.points[k][0] + (swayed.swaying_back[k] ? -0.1 : 0.1));
    for (int k = 0; k < ribbon.point_count; ++k) EXPECT_EQ(world.ribbon_table[0].points[k][0], swayed.points[k][0]);
    weed_record leaf_expected = leaf;
    move_weed_through_camera(leaf_expected, cx, cz, weed_distance(leaf_expected, cx, cz));
    EXPECT_EQ(std::memcmp(&world.leaf_table[0], &leaf_expected, sizeof leaf), 0);
}
