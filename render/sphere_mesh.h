// Sphere mesh: the smooth, filled, outward-facing sphere of the GL utility
// library, vertex for vertex, and the same sphere as separate triangles.
#pragma once
#include <vector>

struct mesh_vertex {
    float normal[3];
    float position[3];
};

// One primitive of the sphere as the utility library sends it: a triangle fan
// or a quad strip (GL mode), each vertex with the normal current at it.
struct mesh_strip {
    unsigned int mode;
    std::vector<mesh_vertex> vertices;
};

// The primitives gluSphere(radius, slices, stacks) sends for a quadric with
// smooth normals, fill style and outside orientation: the fan around +z, the
// fan around -z, then one quad strip per inner stack, with every value
// computed as the library computes it (single-precision caches of
// double-precision sines). `last_normal` is the normal current afterwards.
// Slices 2..239, stacks 3..slices (the library reads the slice cache at
// index `stacks` for the -z pole) and a radius of 0 or more; anything else
// gives no strips.
void sphere_strips(double radius, int slices, int stacks, std::vector<mesh_strip>& strips,
                   float last_normal[3]);

// The strips as separate triangles, three vertices each, in the order and
// with the vertex order in which the renderer splits fans and quad strips
// (the last vertex of each primitive last): fan vertex 0, k, k + 1 for each k;
// for each quad a, b, c, d of a strip the triangles c, a, d and a, b, d.
void strips_to_triangles(const std::vector<mesh_strip>& strips, std::vector<mesh_vertex>& triangles);
