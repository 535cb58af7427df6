// View frame: a black border with cut corners, tongue and lip, and a narrower green border over it.
#include "instruments/view_frame.h"

#include <algorithm>
#include <cmath>

#include "common/gl.h"
#include "common/world.h"
#include "render/picture_fit.h"

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

overlay_window overlay_window_of(int ortho_width, int ortho_height, const int viewport[4], int window_width,
                                 int window_height)
{
    overlay_window w;
    w.x0 = viewport[0];
    w.y0 = viewport[1];
    w.sx = ortho_width > 0 ? (double)viewport[2] / ortho_width : 0;
    w.sy = ortho_height > 0 ? (double)viewport[3] / ortho_height : 0;
    w.width = window_width;
    w.height = window_height;
    return w;
}

namespace {

// How far inside an edge a pixel centre must lie to count as surely covered:
// far more than the renderer's rounding, far less than a pixel.
constexpr double SURELY = 1.0 / 64;

// Side bands of either layer: polygons 0 to 3, left, top, right and bottom,
// each across the whole canvas. The inner edge of each, in overlay units:
// left x (vertex 2, at fraction (0.1, 1) or (0.07, 1)), top y (vertex 2), right x
// (vertex 0), bottom y (vertex 1).
constexpr int FRAME_BAND_COUNT = 4;
double inner_edge(const frame_polygon& band, int side)
{
    switch (side) {
    case 0: return band.vertices[2].x;
    case 1: return band.vertices[2].y;
    case 2: return band.vertices[0].x;
    default: return band.vertices[1].y;
    }
}

// The columns (sides 0 and 2) or rows (1 and 3) of the window, from its edge on
// that side, whose pixel centres lie surely between the window-side edge of
// the canvas and the inner edge `edge`: [0, n) on the left and bottom,
// [n, size) on the right and top. Returns n, or the window's edge (no
// columns) when the canvas does not reach past it.
int band_reach(const overlay_window& w, bool large_layout, int side, double edge)
{
    float canvas_width, canvas_height;
    frame_canvas(large_layout, canvas_width, canvas_height);
    const bool across = side == 0 || side == 2;
    const double origin = across ? w.x0 : w.y0;
    const double scale = across ? w.sx : w.sy;
    const int size = across ? w.width : w.height;
    const double inner = origin + edge * scale;
    if (side == 0 || side == 3) {
        if (!(origin + SURELY < 0.5)) return 0;
        return std::clamp((int)std::ceil(inner - SURELY - 0.5), 0, size);
    }
    const double far_edge = origin + (double)(across ? canvas_width : canvas_height) * scale;
    if (!(size - 0.5 < far_edge - SURELY)) return size;
    return std::clamp((int)std::floor(inner + SURELY - 0.5) + 1, 0, size);
}

// Whether a band of side `side` spans every row (sides 0 and 2) or column (1
// and 3) of the window.
bool band_spans_window(const overlay_window& w, bool large_layout, int side)
{
    float canvas_width, canvas_height;
    frame_canvas(large_layout, canvas_width, canvas_height);
    const bool across = side == 0 || side == 2;
    const double origin = across ? w.y0 : w.x0;
    const double scale = across ? w.sy : w.sx;
    const int size = across ? w.height : w.width;
    const double length = across ? canvas_height : canvas_width;
    return origin + SURELY < 0.5 && size - 0.5 < origin + length * scale - SURELY;
}

void polygon_in(const frame_polygon& p)
{
    glBegin(GL_POLYGON);
    for (int v = 0; v < p.vertex_count; ++v) glVertex2f(p.vertices[v].x, p.vertices[v].y);
    glEnd();
}

}  // namespace

bool view_frame_opening(bool large_layout, const overlay_window& w, int box[4])
{
    if (w.width < 1 || w.height < 1 || !(w.sx > 0) || !(w.sy > 0)) return false;
    int reach[FRAME_BAND_COUNT];
    for (int side = 0; side < FRAME_BAND_COUNT; ++side) {
        const frame_polygon band = frame_black_polygon(side, large_layout);
        const bool spans = band_spans_window(w, large_layout, side);
        const bool low_side = side == 0 || side == 3;
        const int edge_of_window = low_side ? 0 : (side == 2 ? w.width : w.height);
        reach[side] = spans ? band_reach(w, large_layout, side, inner_edge(band, side)) : edge_of_window;
    }
    const int x0 = reach[0], x1 = reach[2], y0 = reach[3], y1 = reach[1];
    if (x1 <= x0 || y1 <= y0) return false;
    box[0] = x0;
    box[1] = y0;
    box[2] = x1 - x0;
    box[3] = y1 - y0;
    return true;
}

void draw_view_frame(bool large_layout)
{
    // The alpha of 0.1 has no effect: blending is off in the overlay.
    glColor4f(0, 0, 0, 0.1f);
    // The green layer's side bands cover the outer part of the black ones
    // across the same rows (or columns): each black band is drawn only beside
    // its green band, where no green will paint over it.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const overlay_window w =
        overlay_window_of(world.client_width, world.client_height, viewport, world.client_width, world.client_height);
    glEnable(GL_SCISSOR_TEST);
    for (int side = 0; side < FRAME_BAND_COUNT; ++side) {
        const int reach = band_reach(w, large_layout, side, inner_edge(frame_green_polygon(side, large_layout), side));
        switch (side) {
        case 0: glScissor(reach, 0, w.width - reach, w.height); break;
        case 1: glScissor(0, 0, w.width, reach); break;
        case 2: glScissor(0, 0, reach, w.height); break;
        default: glScissor(0, reach, w.width, w.height - reach); break;
        }
        polygon_in(frame_black_polygon(side, large_layout));
    }
    restore_picture_scissor();
    for (int k = FRAME_BAND_COUNT; k < FRAME_BLACK_POLYGON_COUNT; ++k) polygon_in(frame_black_polygon(k, large_layout));
    glColor3f(0, 0.2f, 0);
    for (int k = 0; k < FRAME_GREEN_POLYGON_COUNT; ++k) polygon_in(frame_green_polygon(k, large_layout));
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}
