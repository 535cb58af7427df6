// Height queries: the start-position numbers, flat and steep cases, and the field's edges.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "lakebed/height_queries.h"
#include "tests/support/test_world.h"

namespace {

// Lays a flat stretch of bed at height h over vertices lo..hi on both axes.
void flatten(int lo, int hi, float h)
{
    for (int i = lo; i <= hi; ++i)
        for (int j = lo; j <= hi; ++j) world.bed_height[i][j] = h;
}

}  // namespace

TEST(HeightQueries, StartPositionOfTheInteractiveCamera)
{
    use_generated_world();
    ASSERT_EQ(grid_index(0.0f), 1000);
    ASSERT_EQ(grid_index(-50.0f), 995);
    EXPECT_FLOAT_EQ(world.bed_height[1000][995], -860.955f);
    EXPECT_NEAR(bed_vertex_distance(0, -600, -50, 1000, 995), 246.158f, 0.0005f);
    EXPECT_EQ(bed_clearance(0, -600, -50, 1000, 995), NO_CLEARANCE);
    EXPECT_TRUE(is_above_bed(0, -600, -50, 1000, 995));
}

TEST(HeightQueries, FlatBedGivesHeightAboveIt)
{
    use_generated_world();
    flatten(980, 1020, -500.0f);
    // (5, -480, 5) lies inside cell (1000, 1000), 20 above the plane.
    EXPECT_FLOAT_EQ(bed_clearance(5, -480, 5, 1000, 1000), 20.0f);
    EXPECT_TRUE(is_above_bed(5, -480, 5, 1000, 1000));
    // On the plane itself passes; below it does not.
    EXPECT_TRUE(is_above_bed(5, -500, 5, 1000, 1000));
    EXPECT_FALSE(is_above_bed(5, -500.5f, 5, 1000, 1000));
    // Nearest vertex: (0, -500, 0) at distance sqrt(25 + 400 + 25).
    EXPECT_NEAR(bed_vertex_distance(5, -480, 5, 1000, 1000), std::sqrt(450.0f), 1e-4);
}

TEST(HeightQueries, SteepWallOutsideTheFifteenUnitRule)
{
    use_generated_world();
    flatten(980, 1020, -500.0f);
    // A wall: every vertex from row 1003 on is 200 higher. Triangles across the
    // step are steep; their extended planes rise above a point near the wall.
    for (int i = 1003; i <= 1020; ++i)
        for (int j = 980; j <= 1020; ++j) world.bed_height[i][j] = -300.0f;
    EXPECT_FALSE(is_above_bed(5, -490, 5, 1000, 1000));
    // The flat cells still give the clearance of 10.
    EXPECT_FLOAT_EQ(bed_clearance(5, -490, 5, 1000, 1000), 10.0f);

    // The plane operations agree with the cross product: normal (0, 100, 0)
    // for a flat triangle, w = -(n . p1).
    const bed_plane p = plane_through({0, -500, 0}, {0, -500, 10}, {10, -500, 10});
    EXPECT_EQ(p.nx, 0.0f);
    EXPECT_EQ(p.ny, 100.0f);
    EXPECT_EQ(p.nz, 0.0f);
    EXPECT_EQ(p.w, 50000.0f);
    const bed_point m = mirror_in_plane(p, {3, -490, 4});
    EXPECT_FLOAT_EQ(m.y, -510.0f);
    EXPECT_FLOAT_EQ(m.x, 3.0f);
}

TEST(HeightQueries, PointFarAboveJaggedBedHasNoClearance)
{
    use_generated_world();
    // High above the pitted bed the feet fall outside their steep triangles.
    EXPECT_EQ(bed_clearance(0, 250, 0, 1000, 1000), NO_CLEARANCE);
}

// Brute force over the vertices of a window that exist.
float reference_vertex_distance(float x, float y, float z, int ci, int cj)
{
    float best = NO_CLEARANCE;
    for (int i = 0; i < BED_SIZE; ++i)
        for (int j = 0; j < BED_SIZE; ++j) {
            if (std::abs(i - ci) > 2 || std::abs(j - cj) > 2) continue;
            const double dx = (double)x - (10 * i - 10000), dy = (double)y - world.bed_height[i][j],
                         dz = (double)z - (10 * j - 10000);
            const float d = (float)std::sqrt(dx * dx + dz * dz + dy * dy);
            if (d < best) best = d;
        }
    return best;
}

TEST(HeightQueries, WindowsAtAndBeyondTheFieldEdgeUseOnlyExistingVertices)
{
    use_generated_world();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float positions[] = {-10000.0f, -9999.0f, -10010.0f, -10040.0f, 9980.0f, 9990.0f,
                               10000.0f,  10020.0f, 12000.0f,  1e30f,     -1e30f,  inf,
                               -inf,      nan};
    for (float x : positions) {
        for (float z : {0.0f, 9990.0f, -10000.0f, x}) {
            const int ci = grid_index(x), cj = grid_index(z);
            const float y = 250.0f;
            if (std::isfinite(x) && std::isfinite(z) && std::abs(ci) < 3000 && std::abs(cj) < 3000)
                EXPECT_EQ(bed_vertex_distance(x, y, z, ci, cj), reference_vertex_distance(x, y, z, ci, cj))
                    << x << "," << z;
            else
                EXPECT_EQ(bed_vertex_distance(x, y, z, ci, cj), NO_CLEARANCE);
            // Outside the field nothing qualifies and nothing is above the point.
            const float c = bed_clearance(x, y, z, ci, cj);
            const bool above = is_above_bed(x, y, z, ci, cj);
            if (ci < -6 || ci > BED_SIZE + 5 || cj < -6 || cj > BED_SIZE + 5) {
                EXPECT_EQ(c, NO_CLEARANCE);
                EXPECT_TRUE(above);
            }
        }
    }
    EXPECT_EQ(grid_index(nan), -1000000);
    EXPECT_EQ(grid_index(inf), 1000000);
    EXPECT_EQ(grid_index(-inf), -1000000);
    EXPECT_EQ(grid_index(-10005.0f), 0);  // trunc(-0.5) is 0: still the first row
    EXPECT_EQ(grid_index(-10010.0f), -1);
}

TEST(HeightQueries, GroundLevelIsTenBelowTheLowestNearbyVertex)
{
    use_generated_world();
    flatten(990, 1010, -400.0f);
    world.bed_height[1001][999] = -420.0f;
    EXPECT_FLOAT_EQ(ground_level(0, 0), -430.0f);
    world.bed_height[1003][999] = -450.0f;  // outside the 5 x 5 window of (1000, 1000)
    EXPECT_FLOAT_EQ(ground_level(0, 0), -430.0f);
    EXPECT_FLOAT_EQ(ground_level(15, 0), -460.0f);  // window of (1001, 1000) reaches row 1003

    // At and beyond the edges the window stays on the nearest 5 x 5 vertices of the field.
    auto lowest_of = [](int i0, int j0) {
        float lowest = 1000.0f;
        for (int i = i0; i < i0 + 5; ++i)
            for (int j = j0; j < j0 + 5; ++j) lowest = std::min(lowest, world.bed_height[i][j]);
        return (float)((double)lowest - 10.0);
    };
    EXPECT_EQ(ground_level(-10000, -10000), lowest_of(0, 0));
    EXPECT_EQ(ground_level(-1e30f, -20000), lowest_of(0, 0));
    EXPECT_EQ(ground_level(9990, 9990), lowest_of(1995, 1995));
    EXPECT_EQ(ground_level(50000, -10000), lowest_of(1995, 0));
    EXPECT_EQ(ground_level(std::numeric_limits<float>::quiet_NaN(), 0), lowest_of(0, 998));
}
