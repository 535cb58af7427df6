// View frame: a black border with cut corners, tongue and lip, and a narrower green border over it.
#include "instruments/view_frame.h"

#include <algorithm>
#include <cmath>

#include "common/gl.h"

namespace {

// Vertices as fractions of the canvas width and height.
struct frame_shape {
    int vertex_count;
    double fractions[FRAME_POLYGON_VERTEX_LIMIT][2];
};

// Side bands, corner wedges, the tongue rising from the bottom and the lip
// hanging from the top.
const frame_shape black_layer[FRAME_BLACK_POLYGON_COUNT] = {
    {4, {{0, 0}, {0, 1}, {0.1, 1}, {0.1, 0}}},
    {4, {{0, 1}, {1, 1}, {1, 0.9}, {0, 0.9}}},
    {4, {{0.9, 1}, {1, 1}, {1, 0}, {0.9, 0}}},
    {4, {{0, 0}, {0, 0.1}, {1, 0.1}, {1, 0}}},
    {3, {{0.1, 0.9}, {0.2, 0.9}, {0.1, 0.7}}},
    {3, {{0.8, 0.9}, {0.9, 0.9}, {0.9, 0.7}}},
    {3, {{0.1, 0.1}, {0.3, 0.1}, {0.1, 0.3}}},
    {3, {{0.7, 0.1}, {0.9, 0.1}, {0.9, 0.3}}},
    {4, {{0.4, 0.1}, {0.48, 0.25}, {0.52, 0.25}, {0.6, 0.1}}},
    {4, {{0.3, 0.9}, {0.35, 0.85}, {0.65, 0.85}, {0.7, 0.9}}},
};

// The same border pulled toward the edges, with a small triangle at the
// tongue's foot and no lip.
const frame_shape green_layer[FRAME_GREEN_POLYGON_COUNT] = {
    {4, {{0, 0}, {0, 1}, {0.07, 1}, {0.07, 0}}},
    {4, {{0, 1}, {1, 1}, {1, 0.93}, {0, 0.93}}},
    {4, {{0.93, 1}, {1, 1}, {1, 0}, {0.93, 0}}},
    {4, {{0, 0}, {0, 0.07}, {1, 0.07}, {1, 0}}},
    {3, {{0.07, 0.93}, {0.17, 0.93}, {0.07, 0.73}}},
    {3, {{0.83, 0.93}, {0.93, 0.93}, {0.93, 0.73}}},
    {3, {{0.07, 0.07}, {0.27, 0.07}, {0.07, 0.27}}},
    {3, {{0.73, 0.07}, {0.93, 0.07}, {0.93, 0.27}}},
    {3, {{0.45, 0.07}, {0.5, 0.15}, {0.55, 0.07}}},
};

frame_polygon scaled(const frame_shape& shape, bool large_layout)
{
    float width, height;
    frame_canvas(large_layout, width, height);
    frame_polygon out{};
    out.vertex_count = shape.vertex_count;
    for (int v = 0; v < shape.vertex_count; ++v) {
        out.vertices[v] = {(float)(shape.fractions[v][0] * width),
                           (float)(shape.fractions[v][1] * height)};
    }
    return out;
}

void polygon(const frame_polygon& p)
{
    glBegin(GL_POLYGON);
    for (int v = 0; v < p.vertex_count; ++v) glVertex2f(p.vertices[v].x, p.vertices[v].y);
    glEnd();
}

}  // namespace

void frame_canvas(bool large_layout, float& width, float& height)
{
    width = large_layout ? 1024.0f : 410.0f;
    height = large_layout ? 768.0f : 300.0f;
}

frame_polygon frame_black_polygon(int index, bool large_layout)
{
    return scaled(black_layer[index], large_layout);
}

frame_polygon frame_green_polygon(int index, bool large_layout)
{
    return scaled(green_layer[index], large_layout);
}

bool view_frame_opening(bool large_layout, int client_width, int client_height, int& x, int& y,
                        int& width, int& height)
{
    float canvas_width, canvas_height;
    frame_canvas(large_layout, canvas_width, canvas_height);
    if (client_width < 1 || client_height < 1 || (double)client_width > canvas_width ||
        (double)client_height > canvas_height)
        return false;
    // The bands in the order of the black layer: left, top, right, bottom.
    // Each spans the whole canvas along one axis, so with the window inside
    // the canvas it covers every row (or column) of the window.
    const frame_polygon left = frame_black_polygon(0, large_layout);
    const frame_polygon top = frame_black_polygon(1, large_layout);
    const frame_polygon right = frame_black_polygon(2, large_layout);
    const frame_polygon bottom = frame_black_polygon(3, large_layout);
    // Column i is inside the left band when i + 0.5 < its inner edge, and so
    // on; a centre on an edge counts as open.
    const double left_edge = left.vertices[2].x;      // (0.1, 1)
    const double right_edge = right.vertices[0].x;    // (0.9, 1)
    const double bottom_edge = bottom.vertices[1].y;  // (0, 0.1)
    const double top_edge = top.vertices[2].y;        // (1, 0.9)
    const int x0 = std::max(0, (int)std::ceil(left_edge - 0.5));
    const int x1 = std::min(client_width, (int)std::floor(right_edge - 0.5) + 1);
    const int y0 = std::max(0, (int)std::ceil(bottom_edge - 0.5));
    const int y1 = std::min(client_height, (int)std::floor(top_edge - 0.5) + 1);
    if (x1 <= x0 || y1 <= y0) return false;
    x = x0;
    y = y0;
    width = x1 - x0;
    height = y1 - y0;
    return true;
}

void draw_view_frame(bool large_layout)
{
    // The alpha of 0.1 has no effect: blending is off in the overlay.
    glColor4f(0, 0, 0, 0.1f);
    for (int k = 0; k < FRAME_BLACK_POLYGON_COUNT; ++k) polygon(frame_black_polygon(k, large_layout));
    glColor3f(0, 0.2f, 0);
    for (int k = 0; k < FRAME_GREEN_POLYGON_COUNT; ++k) polygon(frame_green_polygon(k, large_layout));
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}
