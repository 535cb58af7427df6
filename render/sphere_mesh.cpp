// Sphere mesh: the utility library's sphere recomputed value for value, and split into triangles.
#include "render/sphere_mesh.h"

#include <cmath>

#include "common/gl.h"

namespace {

constexpr double SPHERE_PI = 3.14159265358979323846;
constexpr int CACHE_LIMIT = 240;

mesh_vertex vertex(float nx, float ny, float nz, float x, float y, float z)
{
    return {{nx, ny, nz}, {x, y, z}};
}

}  // namespace

void sphere_strips(double radius, int slices, int stacks, std::vector<mesh_strip>& strips,
                   float last_normal[3])
{
    strips.clear();
    if (slices < 2 || slices >= CACHE_LIMIT || stacks < 3 || stacks > slices || !(radius >= 0))
        return;
    // Around the axis: sines and cosines of the slice angles; along it: of
    // the stack angles, and the same scaled by the radius (the rings' radii
    // and heights). Each angle is rounded to single precision first.
    float around_sin[CACHE_LIMIT], around_cos[CACHE_LIMIT];
    float stack_sin[CACHE_LIMIT], stack_cos[CACHE_LIMIT];
    float ring_radius[CACHE_LIMIT], ring_z[CACHE_LIMIT];
    for (int i = 0; i < slices; ++i) {
        const float angle = (float)(2 * SPHERE_PI * i / slices);
        around_sin[i] = (float)std::sin((double)angle);
        around_cos[i] = (float)std::cos((double)angle);
    }
    around_sin[slices] = around_sin[0];
    around_cos[slices] = around_cos[0];
    for (int j = 0; j <= stacks; ++j) {
        const float angle = (float)(SPHERE_PI * j / stacks);
        stack_sin[j] = (float)std::sin((double)angle);
        stack_cos[j] = (float)std::cos((double)angle);
        ring_radius[j] = (float)(radius * std::sin((double)angle));
        ring_z[j] = (float)(radius * std::cos((double)angle));
    }
    // The poles come to a point.
    ring_radius[0] = 0;
    ring_radius[stacks] = 0;

    auto ring_vertex = [&](int i, int j) {
        return vertex(around_sin[i] * stack_sin[j], around_cos[i] * stack_sin[j], stack_cos[j],
                      ring_radius[j] * around_sin[i], ring_radius[j] * around_cos[i], ring_z[j]);
    };

    // The fan around +z: the pole with the normal of stack 0, then ring 1 backwards.
    mesh_strip top{GL_TRIANGLE_FAN, {}};
    top.vertices.push_back(vertex(around_sin[0] * stack_sin[0], around_cos[0] * stack_sin[0], stack_cos[0],
                                  0, 0, (float)radius));
    for (int i = slices; i >= 0; --i) top.vertices.push_back(ring_vertex(i, 1));
    strips.push_back(top);

    // The fan around -z: the pole with the normal the library takes from the
    // slice cache at index `stacks`, then ring stacks - 1 forwards.
    mesh_strip bottom{GL_TRIANGLE_FAN, {}};
    bottom.vertices.push_back(vertex(around_sin[stacks] * stack_sin[stacks],
                                     around_cos[stacks] * stack_sin[stacks], stack_cos[stacks], 0, 0,
                                     (float)-radius));
    for (int i = 0; i <= slices; ++i) bottom.vertices.push_back(ring_vertex(i, stacks - 1));
    strips.push_back(bottom);

    // One quad strip per inner stack, alternating the upper and the lower ring.
    for (int j = 1; j < stacks - 1; ++j) {
        mesh_strip band{GL_QUAD_STRIP, {}};
        for (int i = 0; i <= slices; ++i) {
            band.vertices.push_back(ring_vertex(i, j + 1));
            band.vertices.push_back(ring_vertex(i, j));
        }
        strips.push_back(band);
    }
    const mesh_vertex& last = strips.back().vertices.back();
    for (int c = 0; c < 3; ++c) last_normal[c] = last.normal[c];
}

void strips_to_triangles(const std::vector<mesh_strip>& strips, std::vector<mesh_vertex>& triangles)
{
    triangles.clear();
    for (const mesh_strip& s : strips) {
        const std::vector<mesh_vertex>& v = s.vertices;
        const size_t n = v.size();
        if (s.mode == GL_TRIANGLE_FAN) {
            for (size_t k = 1; k + 1 < n; ++k) {
                triangles.push_back(v[0]);
                triangles.push_back(v[k]);
                triangles.push_back(v[k + 1]);
            }
        } else if (s.mode == GL_QUAD_STRIP) {
            for (size_t k = 0; k + 3 < n; k += 2) {
                const mesh_vertex &a = v[k], &b = v[k + 1], &c = v[k + 2], &d = v[k + 3];
                triangles.push_back(c);
                triangles.push_back(a);
                triangles.push_back(d);
                triangles.push_back(a);
                triangles.push_back(b);
                triangles.push_back(d);
            }
        }
    }
}
