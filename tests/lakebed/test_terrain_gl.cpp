// Lake-bed cells drawn through feedback mode: the 320-unit disc, the field's edge and the vertex order.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "lakebed/height_queries.h"
#include "lakebed/terrain.h"
#include "render/view_volume.h"
#include "scene/camera.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"
#include "tests/support/top_view.h"
#include "tests/support/test_world.h"

namespace {

int grid_of(double w)
{
    return (int)std::lround(w / 10 + 1000);
}

// Cells drawn, as the grid index of each polygon's first vertex.
std::set<std::pair<int, int>> cells_of(const std::vector<top_polygon>& polygons)
{
    std::set<std::pair<int, int>> cells;
    for (const top_polygon& p : polygons) cells.insert({grid_of(p[0].x), grid_of(p[0].z)});
    return cells;
}

std::vector<top_polygon> bed_polygons(float x, float y, float z)
{
    const top_view view = set_top_view(x, z);
    return top_view_polygons(view, [&] { draw_lake_bed(grid_index(x), grid_index(z), x, y, z); });
}

bool context_or_skip()
{
    return make_test_gl_context(64, 64);
}

}  // namespace

TEST(Terrain, CellsAreTwoTrianglesInTheirCornerOrder)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(false);
    const std::vector<top_polygon> polygons = bed_polygons(0, -600, -50);
    ASSERT_FALSE(polygons.empty());
    ASSERT_EQ(polygons.size() % 2, 0u);
    for (size_t k = 0; k < polygons.size(); k += 2) {
        const top_polygon& a = polygons[k];
        const top_polygon& b = polygons[k + 1];
        ASSERT_EQ(a.size(), 3u);
        ASSERT_EQ(b.size(), 3u);
        const int i = grid_of(a[0].x), j = grid_of(a[0].z);
        EXPECT_EQ(grid_of(a[1].x), i);
        EXPECT_EQ(grid_of(a[1].z), j + 1);
        EXPECT_EQ(grid_of(a[2].x), i + 1);
        EXPECT_EQ(grid_of(a[2].z), j + 1);
        EXPECT_EQ(grid_of(b[0].x), i);
        EXPECT_EQ(grid_of(b[0].z), j);
        EXPECT_EQ(grid_of(b[1].x), i + 1);
        EXPECT_EQ(grid_of(b[1].z), j + 1);
        EXPECT_EQ(grid_of(b[2].x), i + 1);
        EXPECT_EQ(grid_of(b[2].z), j);
        if (::testing::Test::HasFailure()) break;
    }
    // The cell loop runs over i outside and j inside.
    const auto first = std::make_pair(grid_of(polygons[0][0].x), grid_of(polygons[0][0].z));
    const auto second = std::make_pair(grid_of(polygons[2][0].x), grid_of(polygons[2][0].z));
    EXPECT_TRUE(first.first < second.first || (first.first == second.first && first.second < second.second));
    expect_no_gl_error();
}

TEST(Terrain, DrawsTheWholeDiscWithin320UnitsBehindAsWellAsAhead)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(false);
    const float x = 123.4f, y = -650, z = -77.7f;
    // With the camera's own view volume...
    place_camera(x, y, z, 30, -20, 1024, 768);
    // Its pops find bare stacks: one GL_STACK_UNDERFLOW, which OpenGL otherwise ignores.
    EXPECT_EQ(take_gl_errors(), std::vector<GLenum>{GL_STACK_UNDERFLOW});
    extract_view_frustum();
    const top_view view = set_top_view(x, z);
    const auto with_view = cells_of(top_view_polygons(view, [&] {
        draw_lake_bed(grid_index(x), grid_index(z), x, y, z);
    }));
    // ...and with no view volume at all, the same cells are drawn.
    for (auto& plane : world.view_frustum)
        for (float& v : plane) v = 0;
    const auto without_view = cells_of(bed_polygons(x, y, z));
    EXPECT_EQ(with_view, without_view);
    EXPECT_GT(with_view.size(), 1500u);
    EXPECT_LT(with_view.size(), 3300u);
    // Every drawn cell's first corner is within 320 units; cells behind the
    // camera (yaw 30 looks towards +x and -z) are drawn.
    bool behind = false;
    for (const auto& cell : with_view) {
        const double cx = 10.0 * cell.first - 10000, cz = 10.0 * cell.second - 10000;
        const double h = world.bed_height[cell.first][cell.second];
        EXPECT_LT(std::sqrt((x - cx) * (x - cx) + (y - h) * (y - h) + (z - cz) * (z - cz)), 320.0);
        if (cx < x - 100) behind = true;
    }
    EXPECT_TRUE(behind);
    expect_no_gl_error();
}

TEST(Terrain, CellExactly320AwayIsNotDrawnAndOneAt319Point9Is)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(false);
    const int i = 1030, j = 990;
    const float corner_x = 10.0f * i - 10000, corner_z = 10.0f * j - 10000;
    const float h = world.bed_height[i][j];
    const auto at_320 = cells_of(bed_polygons(corner_x + 320, h, corner_z));
    EXPECT_EQ(at_320.count({i, j}), 0u);
    EXPECT_EQ(at_320.count({i + 1, j}), 1u);
    const auto at_319 = cells_of(bed_polygons(corner_x + 319.9f, h, corner_z));
    EXPECT_EQ(at_319.count({i, j}), 1u);
    expect_no_gl_error();
}

TEST(Terrain, CellsAtTheFieldsEdgeAreSkipped)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(false);
    // Near the far corner of the field: no cell whose corners leave it.
    const float x = 9985, z = 9975;
    const float y = world.bed_height[1998][1997] + 20;
    const auto cells = cells_of(bed_polygons(x, y, z));
    ASSERT_FALSE(cells.empty());
    for (const auto& c : cells) {
        EXPECT_LE(c.first, 1998);
        EXPECT_LE(c.second, 1998);
    }
    EXPECT_EQ(cells.count({1998, 1998}), 1u);
    // Far outside the field nothing is drawn, and nothing is read out of bounds.
    EXPECT_TRUE(bed_polygons(50000, 0, -50000).empty());
    expect_no_gl_error();
}

TEST(Terrain, LeavesItsSpecularMaterialInForce)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(false);
    draw_lake_bed(1000, 1000, 0, -600, 0);
    GLfloat front[4], back[4];
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, front);
    glGetMaterialfv(GL_BACK, GL_SPECULAR, back);
    EXPECT_EQ(front[1], 1.0f);
    EXPECT_EQ(front[2], 0.0f);
    EXPECT_EQ(back[1], 0.0f);
    EXPECT_EQ(back[2], 1.0f);
    expect_no_gl_error();
}
