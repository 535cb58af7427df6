// Test helper: the vertices of a closed spline outline, captured without OpenGL.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "objects/spline.h"

// One vertex of an outline with its colour.
struct captured_vertex {
    double x, y, z;
    float r, g, b;
};

// Collects what emit_spline_outline hands over.
inline void capture(void* context, const float colour[3], double x, double y, double z)
{
    static_cast<std::vector<captured_vertex>*>(context)->push_back(
        {x, y, z, colour[0], colour[1], colour[2]});
}

// The vertices of a closed outline through `points`, `steps` per segment.
inline std::vector<captured_vertex> outline(const std::vector<std::array<float, 3>>& points,
                                            const std::vector<std::array<float, 3>>& colours, int steps)
{
    std::vector<captured_vertex> out;
    const int n = emit_spline_outline(reinterpret_cast<const float(*)[3]>(points.data()),
                                      reinterpret_cast<const float(*)[3]>(colours.data()),
                                      (int)points.size(), steps, capture, &out);
    EXPECT_EQ(n, (int)out.size());
    return out;
}
