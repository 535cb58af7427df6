// The sphere mesh against the GL utility library's own sphere, value for
// value. This program defines the handful of immediate-mode calls the
// library's sphere makes, so the library's calls land here and are recorded
// instead of drawn; it links the library but no GL implementation of its own.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/gl_functions.h"  // the real names: this program defines some of them
#include "render/sphere_mesh.h"

namespace {

struct call {
    int kind;  // 0 begin (a[0] = mode), 1 end, 2 normal, 3 vertex
    float a[3];
};
std::vector<call> recorded;

}  // namespace

extern "C" {
void glBegin(GLenum mode)
{
    recorded.push_back({0, {(float)mode, 0, 0}});
}
void glEnd()
{
    recorded.push_back({1, {0, 0, 0}});
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    recorded.push_back({2, {x, y, z}});
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    recorded.push_back({3, {x, y, z}});
}
}

namespace {

std::vector<call> library_sphere(double radius, int slices, int stacks)
{
    recorded.clear();
    GLUquadric* q = gluNewQuadric();
    gluQuadricDrawStyle(q, GLU_FILL);
    gluQuadricNormals(q, GLU_SMOOTH);
    gluSphere(q, radius, slices, stacks);
    gluDeleteQuadric(q);
    return recorded;
}

// The mesh's strips as the calls the library makes: each strip's first normal
// before its glBegin, then normal (where it changes) and vertex for each
// vertex, as the library sends them.
std::vector<call> mesh_calls(double radius, int slices, int stacks, float last_normal[3])
{
    std::vector<mesh_strip> strips;
    sphere_strips(radius, slices, stacks, strips, last_normal);
    std::vector<call> out;
    for (const mesh_strip& s : strips) {
        bool first = true;
        for (const mesh_vertex& v : s.vertices) {
            if (first && s.mode == GL_TRIANGLE_FAN) {
                // The pole's normal is sent before the fan begins.
                out.push_back({2, {v.normal[0], v.normal[1], v.normal[2]}});
                out.push_back({0, {(float)s.mode, 0, 0}});
                out.push_back({3, {v.position[0], v.position[1], v.position[2]}});
                first = false;
                continue;
            }
            if (first) out.push_back({0, {(float)s.mode, 0, 0}});
            first = false;
            out.push_back({2, {v.normal[0], v.normal[1], v.normal[2]}});
            out.push_back({3, {v.position[0], v.position[1], v.position[2]}});
        }
        out.push_back({1, {0, 0, 0}});
    }
    return out;
}

bool same_calls(const std::vector<call>& a, const std::vector<call>& b, size_t& where)
{
    for (where = 0; where < a.size() && where < b.size(); ++where)
        if (a[where].kind != b[where].kind || std::memcmp(a[where].a, b[where].a, sizeof a[where].a) != 0)
            return false;
    return a.size() == b.size();
}

}  // namespace

TEST(SphereMesh, TheLibrarysSphereValueForValue)
{
    std::vector<double> radii;
    // Every bubble radius (r % 40 / 100 + 0.1, held in single precision), the
    // tower's spheres and a few others.
    for (int r = 0; r < 40; ++r) radii.push_back((float)((double)r / 100.0 + 0.1));
    for (double r : {6.0, 1.0, 0.0, 1e-3, 123.456, 1e5}) radii.push_back(r);
    const int shapes[][2] = {{16, 16}, {16, 8}, {7, 5}, {40, 30}, {2, 2}};
    for (double radius : radii) {
        for (const auto& shape : shapes) {
            const std::vector<call> library = library_sphere(radius, shape[0], shape[1]);
            float last[3] = {0, 0, 0};
            const std::vector<call> mine = mesh_calls(radius, shape[0], shape[1], last);
            if (shape[1] < 3) {
                // Outside the mesh's range: it builds nothing.
                EXPECT_TRUE(mine.empty());
                continue;
            }
            size_t where = 0;
            EXPECT_TRUE(same_calls(library, mine, where))
                << "radius " << radius << ", " << shape[0] << " x " << shape[1] << ": first difference at call "
                << where << " of " << library.size();
            // The normal left current is the library's last one.
            for (auto it = library.rbegin(); it != library.rend(); ++it)
                if (it->kind == 2) {
                    EXPECT_EQ(std::memcmp(it->a, last, sizeof last), 0) << "radius " << radius;
                    break;
                }
        }
    }
}

TEST(SphereMesh, TrianglesSplitFansAndStripsWithTheLastVertexLast)
{
    std::vector<mesh_strip> strips;
    float last[3];
    sphere_strips(1.0, 16, 16, strips, last);
    ASSERT_EQ(strips.size(), 16u);  // two fans, fourteen quad strips
    std::vector<mesh_vertex> triangles;
    strips_to_triangles(strips, triangles);
    // 16 triangles per fan, 32 per band.
    ASSERT_EQ(triangles.size(), 3u * (2 * 16 + 14 * 32));
    auto same = [](const mesh_vertex& a, const mesh_vertex& b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    // Fan: vertex 0, k, k + 1.
    EXPECT_TRUE(same(triangles[0], strips[0].vertices[0]));
    EXPECT_TRUE(same(triangles[1], strips[0].vertices[1]));
    EXPECT_TRUE(same(triangles[2], strips[0].vertices[2]));
    // First quad of the first band: c, a, d then a, b, d.
    const std::vector<mesh_vertex>& band = strips[2].vertices;
    const size_t first_band = 3 * 32;
    EXPECT_TRUE(same(triangles[first_band + 0], band[2]));
    EXPECT_TRUE(same(triangles[first_band + 1], band[0]));
    EXPECT_TRUE(same(triangles[first_band + 2], band[3]));
    EXPECT_TRUE(same(triangles[first_band + 3], band[0]));
    EXPECT_TRUE(same(triangles[first_band + 4], band[1]));
    EXPECT_TRUE(same(triangles[first_band + 5], band[3]));
    // Out of range: nothing at all.
    sphere_strips(-1.0, 16, 16, strips, last);
    EXPECT_TRUE(strips.empty());
    sphere_strips(1.0, 16, 17, strips, last);
    EXPECT_TRUE(strips.empty());
}
