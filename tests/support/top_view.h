// Test helper: polygons drawn on the lake's ground plan, caught in feedback mode.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/gl.h"

struct top_vertex {
    double x, y, z;  // world position recovered from the window position
};
using top_polygon = std::vector<top_vertex>;

// A top view for feedback: window x is world x - left, window y is world z -
// bottom, the depth comes from the height; nothing within 1000 units of the
// centre is clipped.
struct top_view {
    double left, bottom;
};

inline top_view set_top_view(double cx, double cz)
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
std::vector<top_polygon> top_view_polygons(const top_view& view, Draw draw)
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
    std::vector<top_polygon> polygons;
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
            top_polygon p;
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

// Feedback may hand a four-corner polygon (0, 1, 2, 3) back as two triangles,
// (0, 1, 2) and (0, 2, 3) or (1, 2, 0) and (2, 3, 0); put such pairs back together.
inline std::vector<top_polygon> joined_quads(const std::vector<top_polygon>& polygons)
{
    auto same = [](const top_vertex& a, const top_vertex& b) {
        return std::fabs(a.x - b.x) < 1e-3 && std::fabs(a.z - b.z) < 1e-3;
    };
    std::vector<top_polygon> quads;
    for (size_t k = 0; k < polygons.size(); ++k) {
        const top_polygon& p = polygons[k];
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
