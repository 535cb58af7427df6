// Test helper: the polygons a drawing call hands to OpenGL, caught in feedback mode.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "common/gl.h"

// One polygon in window coordinates with its vertex colours (x, y, z, r, g, b, a).
struct feedback_polygon {
    std::vector<std::array<float, 7>> vertices;
};

// Sets an orthographic view of the cube -half..half on every axis (z toward
// the viewer) over a viewport of 2 half x 2 half pixels, lighting off, so a
// world point (x, y, z) comes back at (x + half, y + half, (1 - z / half) / 2).
inline void feedback_ortho_view(int half)
{
    glViewport(0, 0, 2 * half, 2 * half);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -half, half, -half, half);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
}

// The world point of a window point under feedback_ortho_view(half).
inline std::array<double, 3> feedback_world_point(const std::array<float, 7>& v, int half)
{
    return {{(double)v[0] - half, (double)v[1] - half, (double)half * (1.0 - 2.0 * v[2])}};
}

// Mesa hands a polygon back as the fan of triangles (v[k], v[k + 1], v[0]),
// k = 1 .. n - 2. Joins such runs back into the polygon v[0], v[1], ..., v[n - 1].
inline std::vector<feedback_polygon> join_triangle_fans(const std::vector<feedback_polygon>& in)
{
    std::vector<feedback_polygon> out;
    bool open = false;
    for (const feedback_polygon& p : in) {
        if (p.vertices.size() != 3) {
            out.push_back(p);
            open = false;
            continue;
        }
        if (open) {
            feedback_polygon& last = out.back();
            if (p.vertices[2] == last.vertices[0] && p.vertices[0] == last.vertices.back()) {
                last.vertices.push_back(p.vertices[1]);
                continue;
            }
        }
        out.push_back({{p.vertices[2], p.vertices[0], p.vertices[1]}});
        open = true;
    }
    return out;
}

// Runs `draw` in feedback mode and returns the polygons it produced, in order,
// with triangle fans joined back into polygons. Points, lines and
// pass-through tokens are skipped.
template <typename Draw>
std::vector<feedback_polygon> feedback_polygons(Draw draw, size_t capacity = 1 << 22)
{
    std::vector<GLfloat> buffer(capacity);
    glFeedbackBuffer((GLsizei)buffer.size(), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<feedback_polygon> out;
    for (GLint at = 0; at < used;) {
        const GLint token = (GLint)buffer[at++];
        if (token == GL_POLYGON_TOKEN) {
            const GLint n = (GLint)buffer[at++];
            feedback_polygon p;
            for (GLint k = 0; k < n; ++k, at += 7) {
                std::array<float, 7> v;
                for (int c = 0; c < 7; ++c) v[c] = buffer[at + c];
                p.vertices.push_back(v);
            }
            out.push_back(p);
        } else if (token == GL_PASS_THROUGH_TOKEN || token == GL_BITMAP_TOKEN ||
                   token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
            at += token == GL_PASS_THROUGH_TOKEN ? 1 : 7;
        } else if (token == GL_POINT_TOKEN) {
            at += 7;
        } else {  // GL_LINE_TOKEN, GL_LINE_RESET_TOKEN
            at += 14;
        }
    }
    return join_triangle_fans(out);
}

// A feedback vertex of feedback_vertices: window position and clamped colour.
struct fed_vertex {
    double x, y;
    double r, g, b;
};

// Runs `draw` in feedback mode and returns the vertices of every polygon it
// made (however the implementation splits polygons into triangles).
template <class Draw>
std::vector<fed_vertex> feedback_vertices(Draw draw)
{
    static GLfloat buffer[1 << 18];
    glFeedbackBuffer((GLsizei)(sizeof buffer / sizeof buffer[0]), GL_3D_COLOR, buffer);
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<fed_vertex> out;
    EXPECT_GT(n, 0) << "feedback buffer empty or overflowed";
    constexpr GLint vertex_size = 7;  // x, y, z, r, g, b, a
    for (GLint i = 0; i < n;) {
        const GLint token = (GLint)buffer[i++];
        if (token == GL_POLYGON_TOKEN) {
            const GLint count = (GLint)buffer[i++];
            for (GLint v = 0; v < count; ++v, i += vertex_size)
                out.push_back({buffer[i], buffer[i + 1], buffer[i + 3], buffer[i + 4], buffer[i + 5]});
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 2 * vertex_size;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                   token == GL_COPY_PIXEL_TOKEN) {
            i += vertex_size;  // text and points: not polygons
        } else if (token == GL_PASS_THROUGH_TOKEN) {
            i += 1;
        } else {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
    }
    return out;
}

// Whether a fed vertex lies within 0.002 of (x, y) and, when given, has the colour (r, g, b).
inline bool fed_at(const std::vector<fed_vertex>& fed, double x, double y, double r = -1, double g = -1, double b = -1)
{
    for (const fed_vertex& v : fed) {
        if (std::fabs(v.x - x) > 2e-3 || std::fabs(v.y - y) > 2e-3) continue;
        if (r < 0 || (std::fabs(v.r - r) < 1e-5 && std::fabs(v.g - g) < 1e-5 && std::fabs(v.b - b) < 1e-5))
            return true;
    }
    return false;
}
