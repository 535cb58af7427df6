// Closed spline outlines: the periodic solve, the vertices handed to GL and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "common/random.h"
#include "objects/spline.h"
#include "common/world.h"
#include "tests/support/spline_outline.h"
#include "tests/support/test_world.h"

namespace {

std::vector<std::array<float, 3>> grey(size_t n)
{
    return std::vector<std::array<float, 3>>(n, {0.5f, 0.5f, 0.5f});
}

// The slopes of the closed spline, solved densely by Gaussian elimination
// with partial pivoting in double precision.
std::vector<double> dense_slopes(const std::vector<float>& x)
{
    const int m = (int)x.size();
    std::vector<std::vector<double>> a(m, std::vector<double>(m + 1, 0.0));
    for (int k = 0; k < m; ++k) {
        a[k][(k + m - 1) % m] += 1;
        a[k][k] += 4;
        a[k][(k + 1) % m] += 1;
        a[k][m] = 3.0 * ((double)x[(k + 1) % m] - x[(k + m - 1) % m]);
    }
    for (int c = 0; c < m; ++c) {
        int pivot = c;
        for (int r = c + 1; r < m; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        std::swap(a[c], a[pivot]);
        for (int r = 0; r < m; ++r) {
            if (r == c) continue;
            const double f = a[r][c] / a[c][c];
            for (int k = c; k <= m; ++k) a[r][k] -= f * a[c][k];
        }
    }
    std::vector<double> d(m);
    for (int k = 0; k < m; ++k) d[k] = a[k][m] / a[k][k];
    return d;
}

}  // namespace

TEST(Spline, SolveMatchesADenseSolverOfTheCyclicSystem)
{
    // Whatever the count, the elimination must give the slopes of the periodic
    // system, and the segments must join with equal value, slope and curvature.
    world.random_state = 12345;
    for (int count : {2, 3, 4, 5, 7, 10, 21, 50, 79, 99, 100}) {
        std::vector<float> x(count);
        for (float& v : x) v = (float)(next_random() % 2001 - 1000) / 10.0f;
        spline_cubic cubic[SPLINE_POINT_LIMIT];
        ASSERT_TRUE(build_closed_spline(x.data(), count, cubic));
        const std::vector<double> d = dense_slopes(x);
        for (int k = 0; k < count; ++k) {
            SCOPED_TRACE(testing::Message() << "count " << count << " segment " << k);
            const spline_cubic& s = cubic[k];
            const spline_cubic& next = cubic[(k + 1) % count];
            EXPECT_EQ(s.a, x[k]);
            EXPECT_NEAR(s.b, d[k], 2e-3);
            EXPECT_NEAR((double)s.a + s.b + s.c + s.d, x[(k + 1) % count], 2e-3);
            EXPECT_NEAR((double)s.b + 2.0 * s.c + 3.0 * s.d, next.b, 2e-3);
            EXPECT_NEAR(2.0 * s.c + 6.0 * s.d, 2.0 * next.c, 4e-3);
        }
    }
}

TEST(Spline, SquareGivesARoundedShapeThroughItsCorners)
{
    const std::vector<std::array<float, 3>> square = {
        {{1, 1, 0}}, {{-1, 1, 0}}, {{-1, -1, 0}}, {{1, -1, 0}}};
    const int steps = 8;
    const auto v = outline(square, grey(4), steps);
    ASSERT_EQ(v.size(), 1u + 4 * steps);
    for (int i = 0; i <= 4; ++i) {
        const captured_vertex& corner = v[(size_t)i * steps];
        EXPECT_NEAR(corner.x, square[i % 4][0], 1e-6);
        EXPECT_NEAR(corner.y, square[i % 4][1], 1e-6);
    }
    // By symmetry the slopes are (-+1.5, +-1.5) at the corners, so the middle of
    // each side bulges out to 1 + (1.5 + 1.5) / 8 = 1.375 from the centre; the
    // rest lies between that and the corners' sqrt(2).
    EXPECT_NEAR(v[steps / 2].x, 0.0, 1e-6);
    EXPECT_NEAR(v[steps / 2].y, 1.375, 1e-6);
    EXPECT_NEAR(v[steps + steps / 2].x, -1.375, 1e-6);
    for (const captured_vertex& p : v) {
        const double r = std::hypot(p.x, p.y);
        EXPECT_GE(r, 1.375 - 1e-6);
        EXPECT_LE(r, std::sqrt(2.0) + 1e-6);
        EXPECT_EQ(p.z, 0.0);
    }
    // The vertices turn steadily around the centre: angles strictly grow.
    double previous = std::atan2(v[0].y, v[0].x);
    double turned = 0;
    for (size_t k = 1; k < v.size(); ++k) {
        double a = std::atan2(v[k].y, v[k].x);
        double step = a - previous;
        if (step < -M_PI) step += 2 * M_PI;
        EXPECT_GT(step, 0.0);
        turned += step;
        previous = a;
    }
    EXPECT_NEAR(turned, 2 * M_PI, 1e-9);
}

TEST(Spline, OneStepGivesTheControlPointsAndTwoPointsCollapse)
{
    const std::vector<std::array<float, 3>> points = {
        {{0, 0, 0}}, {{4, 1, -2}}, {{7, 5, 3}}, {{2, 9, 1}}, {{-3, 4, 0.5f}}};
    const auto v = outline(points, grey(points.size()), 1);
    ASSERT_EQ(v.size(), points.size() + 1);
    for (size_t k = 0; k < v.size(); ++k) {
        const auto& p = points[k % points.size()];
        EXPECT_NEAR(v[k].x, p[0], 1e-5);
        EXPECT_NEAR(v[k].y, p[1], 1e-5);
        EXPECT_NEAR(v[k].z, p[2], 1e-5);
    }

    // Two points: zero slopes, so the outline runs along the segment and back,
    // easing in and out, without leaving the line.
    const std::vector<std::array<float, 3>> pair = {{{1, 2, 3}}, {{5, 2, -1}}};
    const int steps = 10;
    const auto line = outline(pair, grey(2), steps);
    ASSERT_EQ(line.size(), 1u + 2 * steps);
    for (size_t k = 0; k < line.size(); ++k) {
        const double s = (line[k].x - 1.0) / 4.0;
        EXPECT_GE(s, -1e-7);
        EXPECT_LE(s, 1 + 1e-7);
        EXPECT_NEAR(line[k].y, 2.0, 1e-7);
        EXPECT_NEAR(line[k].z, 3.0 - 4.0 * s, 1e-6);
        // Going out for the first segment, coming back for the second.
        if (k > 0) {
            if (k <= (size_t)steps)
                EXPECT_GT(line[k].x, line[k - 1].x);
            else
                EXPECT_LT(line[k].x, line[k - 1].x);
        }
    }
    // With zero slopes the middle of the way is reached at t = 0.5.
    EXPECT_NEAR(line[steps / 2].x, 3.0, 1e-6);
    EXPECT_NEAR(line[steps + steps / 2].x, 3.0, 1e-6);
}

TEST(Spline, MovingOnePointMovesTheWholeCurve)
{
    std::vector<std::array<float, 3>> ring;
    for (int k = 0; k < 12; ++k) {
        const double a = k * 2 * M_PI / 12;
        ring.push_back({{(float)(10 * std::cos(a)), (float)(10 * std::sin(a)), 0}});
    }
    const auto before = outline(ring, grey(12), 4);
    ring[0][0] += 1.0f;
    const auto after = outline(ring, grey(12), 4);
    ASSERT_EQ(before.size(), after.size());
    // The segment opposite the moved point (6 to 7) changes too, but only a
    // little; the segments next to the point change most.
    double far_change = 0, near_change = 0;
    for (int j = 1; j < 4; ++j) {
        far_change = std::max(far_change, std::fabs(after[6 * 4 + j].x - before[6 * 4 + j].x));
        near_change = std::max(near_change, std::fabs(after[j].x - before[j].x));
    }
    EXPECT_GT(far_change, 1e-5);
    EXPECT_LT(far_change, 0.05);
    EXPECT_GT(near_change, 0.3);
}

TEST(Spline, EachSegmentTakesItsOwnColourEntry)
{
    const std::vector<std::array<float, 3>> points = {
        {{0, 0, 0}}, {{1, 0, 0}}, {{1, 1, 0}}, {{0, 1, 0}}, {{-1, 0.5f, 0}}};
    std::vector<std::array<float, 3>> colours;
    for (int i = 0; i < 5; ++i) colours.push_back({{(float)i, 2.5f + i, -(float)i}});
    const int steps = 3;
    const auto v = outline(points, colours, steps);
    ASSERT_EQ(v.size(), 1u + 5 * steps);
    EXPECT_EQ(v[0].r, 0.0f);
    for (size_t k = 1; k < v.size(); ++k) {
        const int entry = (int)((k - 1) / steps);
        EXPECT_EQ(v[k].r, colours[entry][0]) << "vertex " << k;
        // Components above 1 and below 0 are passed as they stand.
        EXPECT_EQ(v[k].g, colours[entry][1]);
        EXPECT_EQ(v[k].b, colours[entry][2]);
    }
}

TEST(Spline, OutOfRangeCountsAndStepsAreRefused)
{
    // Exactly-sized heap arrays: under the address sanitizer any read past the
    // caller's points or the working arrays is reported.
    int calls = 0;
    auto counted = [](void* c, const float*, double, double, double) { ++*(int*)c; };
    auto emitted = [&](int count, int steps) {
        std::vector<std::array<float, 3>> points(std::max(count, 1)), colours(std::max(count, 1));
        for (int k = 0; k < (int)points.size(); ++k) points[k] = {{(float)k, (float)(k % 7), 0}};
        calls = 0;
        const int n = emit_spline_outline(reinterpret_cast<const float(*)[3]>(points.data()),
                                          reinterpret_cast<const float(*)[3]>(colours.data()),
                                          count, steps, counted, &calls);
        EXPECT_EQ(n, calls);
        return n;
    };
    for (int count : {-5, 0, 1, 101, 1000}) {
        EXPECT_EQ(emitted(count, 2), 0) << "count " << count;
        std::vector<float> x(std::max(count, 1), 1.0f);
        spline_cubic cubic[SPLINE_POINT_LIMIT + 1] = {};
        EXPECT_FALSE(build_closed_spline(x.data(), count, cubic));
        EXPECT_EQ(cubic[0].a, 0.0f);
    }
    EXPECT_EQ(emitted(3, 0), 0);
    EXPECT_EQ(emitted(3, -1), 0);
    // The largest outline is accepted and yields every vertex.
    EXPECT_EQ(emitted(SPLINE_POINT_LIMIT, 2), 1 + SPLINE_POINT_LIMIT * 2);
}

namespace {

// Whether every vertex of the outline lies in its box; `overshoot` gets the
// farthest any vertex lies beyond the control points' own box, as a share of
// their spread along that axis.
bool box_holds_outline(const std::vector<std::array<float, 3>>& points, int steps, double& overshoot)
{
    double low[3], high[3];
    EXPECT_TRUE(spline_outline_box(reinterpret_cast<const float(*)[3]>(points.data()), (int)points.size(),
                                   low, high));
    bool inside = true;
    for (const captured_vertex& v : outline(points, grey(points.size()), steps)) {
        const double at[3] = {v.x, v.y, v.z};
        for (int c = 0; c < 3; ++c) {
            inside = inside && at[c] >= low[c] && at[c] <= high[c];
            double lo = points[0][c], hi = points[0][c];
            for (const auto& p : points) {
                lo = std::min(lo, (double)p[c]);
                hi = std::max(hi, (double)p[c]);
            }
            if (hi > lo) overshoot = std::max(overshoot, std::max(lo - at[c], at[c] - hi) / (hi - lo));
        }
    }
    return inside;
}

}  // namespace

TEST(Spline, OutlineBoxHoldsEveryVertexOfZigZagsRandomOutlinesAndTheWorldsPlants)
{
    double overshoot = 0;
    // Points alternating between two values swing the curve farthest past
    // them; far from the origin the rounding of the solve is at its largest.
    for (int count : {2, 3, 4, 5, 8, 31, 99, 100})
        for (double offset : {0.0, 1000.0, -30000.0}) {
            std::vector<std::array<float, 3>> zigzag;
            for (int k = 0; k < count; ++k)
                zigzag.push_back({{(float)(offset + (k % 2 ? 40 : -40)), (float)(offset + 10.0 * k),
                                   (float)(offset + (k % 3) * 7.5)}});
            for (int steps : {1, 2, 3, 8})
                EXPECT_TRUE(box_holds_outline(zigzag, steps, overshoot)) << count << " points at " << offset;
        }
    // The curve does leave its points' box: the widening is needed.
    EXPECT_GT(overshoot, 0.05);

    uint32_t state = 12345;
    auto draw = [&state](double spread) {
        state = state * 1664525u + 1013904223u;
        return (float)(spread * ((double)(state >> 8) / (1 << 24) - 0.5));
    };
    for (int trial = 0; trial < 300; ++trial) {
        const int count = 2 + trial % 99;
        const double spread = trial % 3 == 0 ? 1.0 : (trial % 3 == 1 ? 100.0 : 4000.0);
        std::vector<std::array<float, 3>> points;
        for (int k = 0; k < count; ++k) points.push_back({{draw(spread), draw(spread), draw(spread)}});
        EXPECT_TRUE(box_holds_outline(points, 1 + trial % 8, overshoot)) << "trial " << trial;
    }

    use_generated_world();
    auto check_table = [&overshoot](const weed_record* table, int n) {
        for (int r = 0; r < n; ++r) {
            std::vector<std::array<float, 3>> points;
            for (int k = 0; k < table[r].point_count; ++k)
                points.push_back({{table[r].points[k][0], table[r].points[k][1], table[r].points[k][2]}});
            EXPECT_TRUE(box_holds_outline(points, 2, overshoot)) << "plant " << r;
        }
    };
    check_table(world.ribbon_table, world.ribbon_count);
    check_table(world.leaf_table, world.leaf_count);

    double low[3] = {7, 7, 7}, high[3] = {7, 7, 7};
    const float one[1][3] = {{1, 2, 3}};
    EXPECT_FALSE(spline_outline_box(one, 1, low, high));
    EXPECT_FALSE(spline_outline_box(one, SPLINE_POINT_LIMIT + 1, low, high));
    EXPECT_EQ(low[0], 7.0);
    // A coordinate that is not a number gets no box: such an outline is left
    // to the test of its own vertices.
    const float odd[3][3] = {{0, 0, 0}, {1, std::nanf(""), 1}, {2, 2, 2}};
    EXPECT_FALSE(spline_outline_box(odd, 3, low, high));
}
