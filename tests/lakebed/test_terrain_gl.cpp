// View volume, lake-bed cells and water squares: planes, the 320-unit limit and vertex order, through feedback mode.
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
#include "lakebed/water.h"
#include "scene/camera.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_world.h"

namespace {

struct fed_vertex {
    double x, y, z;  // world position recovered from the window position
};
using fed_polygon = std::vector<fed_vertex>;

// A top view for feedback: window x is world x - left, window y is world z -
// bottom, the depth comes from the height; nothing within 1000 units of the
// centre is clipped.
struct top_view {
    double left, bottom;
};

top_view set_top_view(double cx, double cz)
{
    const top_view v{cx - 1000, cz - 1000};
    glViewport(0, 0, 2000, 2000);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(v.left, v.left + 2000, v.bottom, v.bottom + 2000, -3000, 3000);
    glMatrixMode(GL_MODELVIEW);
    // Eye (x, y, z) = world (x, z, height).
    const GLdouble swap_yz[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    glLoadMatrixd(swap_yz);
    return v;
}

// Runs `draw` in feedback mode and returns its polygons in world x and z
// (y is the window depth, not a world value).
template <typename Draw>
std::vector<fed_polygon> feedback_polygons(const top_view& view, Draw draw)
{
    static std::vector<GLfloat> buffer(4000000);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    // A marker point at the view's centre measures any offset the feedback
    // adds to window positions.
    glBegin(GL_POINTS);
    glVertex3d(view.left + 1000, 0, view.bottom + 1000);
    glEnd();
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<fed_polygon> polygons;
    EXPECT_GE(used, 4) << "feedback buffer overflow";
    if (used < 4 || buffer[0] != GL_POINT_TOKEN) {
        ADD_FAILURE() << "no marker point in the feedback";
        return polygons;
    }
    const double bias_x = buffer[1] - 1000, bias_z = buffer[2] - 1000;
    for (GLint k = 4; k < used;) {
        const GLfloat token = buffer[(size_t)k++];
        if (token == GL_POLYGON_TOKEN) {
            const int count = (int)buffer[(size_t)k++];
            fed_polygon p;
            for (int v = 0; v < count; ++v, k += 3)
                p.push_back({buffer[(size_t)k] - bias_x + view.left, buffer[(size_t)k + 2],
                             buffer[(size_t)k + 1] - bias_z + view.bottom});
            polygons.push_back(p);
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            k += 1;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return polygons;
}

int grid_of(double w)
{
    return (int)std::lround(w / 10 + 1000);
}

// Cells drawn, as the grid index of each polygon's first vertex.
std::set<std::pair<int, int>> cells_of(const std::vector<fed_polygon>& polygons)
{
    std::set<std::pair<int, int>> cells;
    for (const fed_polygon& p : polygons) cells.insert({grid_of(p[0].x), grid_of(p[0].z)});
    return cells;
}

std::vector<fed_polygon> bed_polygons(float x, float y, float z)
{
    const top_view view = set_top_view(x, z);
    return feedback_polygons(view, [&] { draw_lake_bed(grid_index(x), grid_index(z), x, y, z); });
}

// Feedback may hand a four-corner polygon (0, 1, 2, 3) back as two triangles,
// (0, 1, 2) and (0, 2, 3) or (1, 2, 0) and (2, 3, 0); put such pairs back together.
std::vector<fed_polygon> joined_quads(const std::vector<fed_polygon>& polygons)
{
    auto same = [](const fed_vertex& a, const fed_vertex& b) {
        return std::fabs(a.x - b.x) < 1e-3 && std::fabs(a.z - b.z) < 1e-3;
    };
    std::vector<fed_polygon> quads;
    for (size_t k = 0; k < polygons.size(); ++k) {
        const fed_polygon& p = polygons[k];
        if (p.size() == 3 && k + 1 < polygons.size() && polygons[k + 1].size() == 3 &&
            same(polygons[k + 1][0], p[0]) && same(polygons[k + 1][1], p[2])) {
            quads.push_back({p[0], p[1], p[2], polygons[k + 1][2]});
            ++k;
        } else if (p.size() == 3 && k + 1 < polygons.size() && polygons[k + 1].size() == 3 &&
                   same(polygons[k + 1][0], p[1]) && same(polygons[k + 1][2], p[2])) {
            quads.push_back({p[2], p[0], p[1], polygons[k + 1][1]});
            ++k;
        } else {
            quads.push_back(p);
        }
    }
    return quads;
}

bool context_or_skip()
{
    return make_test_gl_context(64, 64);
}

}  // namespace

TEST(ViewVolume, PlanesOfTheUnitCubeAndTheTouchingSphere)
{
    reset_world(false);
    // Before any extraction every plane is zero and everything is in view.
    EXPECT_TRUE(sphere_in_view(1e6f, 0, 0, 1));
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    frustum_from_matrices(identity, identity);
    // Right plane first: x <= 1 is inside, normal (-1, 0, 0), w 1.
    EXPECT_FLOAT_EQ(world.view_frustum[0][0], -1);
    EXPECT_FLOAT_EQ(world.view_frustum[0][3], 1);
    EXPECT_FLOAT_EQ(world.view_frustum[1][0], 1);   // left
    EXPECT_FLOAT_EQ(world.view_frustum[2][1], 1);   // bottom
    EXPECT_FLOAT_EQ(world.view_frustum[3][1], -1);  // top
    EXPECT_FLOAT_EQ(world.view_frustum[4][2], -1);  // far
    EXPECT_FLOAT_EQ(world.view_frustum[5][2], 1);   // near
    EXPECT_TRUE(sphere_in_view(0, 0, 0, 0.1f));
    EXPECT_FALSE(sphere_in_view(2, 0, 0, 0.5f));
    // Exactly touching from outside counts as outside.
    EXPECT_FALSE(sphere_in_view(2, 0, 0, 1.0f));
    EXPECT_TRUE(sphere_in_view(2, 0, 0, 1.01f));
    EXPECT_FALSE(sphere_in_view(0, 0, -3, 1.5f));
    EXPECT_TRUE(sphere_in_view(0, -1.5f, 0, 1.0f));
}

TEST(ViewVolume, CameraPlanesAreNormalisedAndBoundTheView)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    // Yaw 90 looks along -z.
    place_camera(100, -200, 300, 90, 0, 1024, 768);
    extract_view_frustum();
    for (const float* p : world.view_frustum)
        EXPECT_NEAR(std::sqrt((double)p[0] * p[0] + (double)p[1] * p[1] + (double)p[2] * p[2]), 1.0, 1e-5);
    auto distance = [](int plane, double x, double y, double z) {
        const float* p = world.view_frustum[plane];
        return p[0] * x + p[1] * y + p[2] * z + p[3];
    };
    // The near plane lies 0.5 in front of the eye, the far plane 1500.
    EXPECT_NEAR(distance(5, 100, -200, 300), -0.5, 1e-3);
    EXPECT_NEAR(distance(4, 100, -200, 300), 1500, 0.5);
    // The side planes pass through the eye.
    for (int plane = 0; plane < 4; ++plane) EXPECT_NEAR(distance(plane, 100, -200, 300), 0, 1e-3);
    EXPECT_TRUE(sphere_in_view(100, -200, 250, 1));
    EXPECT_FALSE(sphere_in_view(100, -200, 350, 1));
    EXPECT_FALSE(sphere_in_view(100, -200, 300 - 1600, 50));
    // 50 degrees of vertical view: 30 degrees up is outside, 20 inside.
    EXPECT_FALSE(sphere_in_view(100, -200 + 100 * std::tan(0.5236), 200, 0.01f));
    EXPECT_TRUE(sphere_in_view(100, -200 + 100 * std::tan(0.349), 200, 0.01f));
    EXPECT_EQ(glGetError(), (GLenum)GL_STACK_UNDERFLOW);  // the pops of place_camera on bare stacks
}

TEST(LakeBed, CellsAreTwoTrianglesInTheirCornerOrder)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(false);
    const std::vector<fed_polygon> polygons = bed_polygons(0, -600, -50);
    ASSERT_FALSE(polygons.empty());
    ASSERT_EQ(polygons.size() % 2, 0u);
    for (size_t k = 0; k < polygons.size(); k += 2) {
        const fed_polygon& a = polygons[k];
        const fed_polygon& b = polygons[k + 1];
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
}

TEST(LakeBed, DrawsTheWholeDiscWithin320UnitsBehindAsWellAsAhead)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    use_generated_world(false);
    const float x = 123.4f, y = -650, z = -77.7f;
    // With the camera's own view volume...
    place_camera(x, y, z, 30, -20, 1024, 768);
    extract_view_frustum();
    const top_view view = set_top_view(x, z);
    const auto with_view = cells_of(feedback_polygons(view, [&] {
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
}

TEST(LakeBed, CellExactly320AwayIsNotDrawnAndOneAt319Point9Is)
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
}

TEST(LakeBed, CellsAtTheFieldsEdgeAreSkipped)
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
}

TEST(LakeBed, LeavesItsSpecularMaterialInForce)
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
}

TEST(WaterSurface, DrawnOnlyNearTheSurface)
{
    if (!context_or_skip()) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    // Camera deep down: no square is within 320 units.
    top_view view = set_top_view(0, 0);
    EXPECT_TRUE(feedback_polygons(view, [] { draw_water_surface(0, 0, -30); }).empty());
    EXPECT_EQ(world.ripple_phase, 0.1f);  // the phase advances whether or not anything is drawn

    // Camera just under the surface: a disc of squares around it, each square
    // four corners in the order (i, j), (i + 10, j), (i + 10, j + 10), (i, j + 10).
    reset_world(false);
    view = set_top_view(0, 0);
    const std::vector<fed_polygon> squares =
        joined_quads(feedback_polygons(view, [] { draw_water_surface(7, -3, 290); }));
    EXPECT_GT(squares.size(), 1000u);
    EXPECT_LE(squares.size(), 41u * 41u);
    for (const fed_polygon& p : squares) {
        ASSERT_EQ(p.size(), 4u);
        // The pattern has drifted by half a unit along -x and -z.
        const double i = p[0].x + 0.5;
        EXPECT_NEAR(std::fmod(std::fabs(i), 10.0), 0, 0.01);
        EXPECT_NEAR(p[1].x - p[0].x, 10, 0.01);
        EXPECT_NEAR(p[1].z - p[0].z, 0, 0.01);
        EXPECT_NEAR(p[2].x - p[0].x, 10, 0.01);
        EXPECT_NEAR(p[2].z - p[0].z, 10, 0.01);
        EXPECT_NEAR(p[3].x - p[0].x, 0, 0.01);
        EXPECT_NEAR(p[3].z - p[0].z, 10, 0.01);
        EXPECT_LT(std::hypot(7 - (p[0].x), -3 - p[0].z), 320.0);
        if (::testing::Test::HasFailure()) break;
    }
}
