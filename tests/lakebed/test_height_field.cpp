// Lake-bed generation: the numbers the finished bed must reproduce exactly.
#include <gtest/gtest.h>

#include "common/random.h"
#include "lakebed/height_field.h"
#include "scene/title.h"
#include "tests/support/test_world.h"

namespace {

// Generates title points and lake bed from a fresh generator, with statistics.
lake_bed_stats fresh_lake_bed()
{
    reset_world(false);
    seed_title_points();
    lake_bed_stats stats{};
    generate_lake_bed(&stats);
    return stats;
}

}  // namespace

TEST(HeightField, PitsAndCleanUpPassesMatchTheKnownBed)
{
    const lake_bed_stats stats = fresh_lake_bed();
    EXPECT_EQ(stats.pit_count, 18608);
    EXPECT_EQ(stats.first_pit_i, 154);
    EXPECT_EQ(stats.first_pit_j, 322);
    EXPECT_EQ(stats.first_pit_rim, 193);
    EXPECT_EQ(stats.spikes_removed, 2528);
    EXPECT_EQ(stats.peaks_smoothed, 44577);

    double sum = 0;
    float lowest = world.bed_height[0][0];
    int lowest_i = 0, lowest_j = 0;
    for (int i = 0; i < BED_SIZE; ++i)
        for (int j = 0; j < BED_SIZE; ++j) {
            sum += world.bed_height[i][j];
            if (world.bed_height[i][j] < lowest) {
                lowest = world.bed_height[i][j];
                lowest_i = i;
                lowest_j = j;
            }
        }
    EXPECT_NEAR(sum, -624608685.95, 0.005);
    EXPECT_NEAR(lowest, -901.7, 0.0001);
    EXPECT_EQ(lowest_i, 987);
    EXPECT_EQ(lowest_j, 1033);

    EXPECT_FLOAT_EQ(world.bed_height[1000][1000], -880.955f);
    EXPECT_FLOAT_EQ(world.bed_colour[1000][1000][0], 0.3934833f);
    EXPECT_FLOAT_EQ(world.bed_colour[1000][1000][1], 0.5934833f);
    EXPECT_FLOAT_EQ(world.bed_colour[1000][1000][2], 1.3118601f);
    EXPECT_EQ(world.bed_colour[1000][1000][3], 1.0f);
    EXPECT_EQ(world.random_state, 697134675u);
}

TEST(HeightField, BorderKeepsBowlHeightsAndZeroColour)
{
    use_generated_world();
    for (int k = 0; k < BED_SIZE; k += 37) {
        for (const auto& ij : {std::pair<int, int>{0, k}, {BED_SIZE - 1, k}, {k, 0}, {k, BED_SIZE - 1}}) {
            EXPECT_EQ(world.bed_height[ij.first][ij.second], bowl_height(ij.first, ij.second));
            for (int c = 0; c < 4; ++c) EXPECT_EQ(world.bed_colour[ij.first][ij.second][c], 0.0f);
        }
    }
    // The bowl's checkerboard: centre -700 on even, -699 on odd vertices.
    EXPECT_EQ(bowl_height(1000, 1000), -700.0f);
    EXPECT_EQ(bowl_height(1000, 1001), -698.999f);
    EXPECT_EQ(bowl_height(1999, 1000), 299.001f);  // odd: 301 - 0.001 * 1999
}

TEST(HeightField, NoVertexRisesAboveTheBowl)
{
    use_generated_world();
    for (int i = 1; i < BED_SIZE - 1; i += 3)
        for (int j = 1; j < BED_SIZE - 1; j += 3)
            ASSERT_LE(world.bed_height[i][j], bowl_height(i, j) + 1.0f) << i << "," << j;
}

TEST(HeightField, ColourDrawsTwoNumbersAndIsNotClamped)
{
    reset_world(false);
    float colour[4];
    colour_for_height(300.0f, colour);
    EXPECT_EQ(world.random_state, random_state_after(1, 2));
    // u = 3: red and green above 4, blue 1 - 0.999.
    EXPECT_GT(colour[0], 4.29f);
    EXPECT_NEAR(colour[2], 0.001f, 1e-6);
    colour_for_height(400.0f, colour);
    EXPECT_LT(colour[2], 0.0f);
}
