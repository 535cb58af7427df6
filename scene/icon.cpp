// The icon: the monogram drawn as the title draws it, supersampled onto a rounded tile.
#include "scene/icon.h"

#include <cstddef>

#include "common/gl.h"
#include "common/world.h"
#include "scene/camera.h"
#include "scene/title.h"

namespace {

// Layout as fractions of the icon's side: the tile's inset and corner radius,
// and the width the monogram takes.
constexpr double TILE_INSET = 1.0 / 32;
constexpr double TILE_RADIUS = 0.18;
constexpr double MONOGRAM_WIDTH = 0.78;

// The monogram's extent in the title's eye space, with the large layout's
// shift of (100, 100): x -150..150, y -120..100.
constexpr double MONOGRAM_LEFT = -150, MONOGRAM_RIGHT = 150;
constexpr double MONOGRAM_BOTTOM = -120, MONOGRAM_TOP = 100;

// Whether the point (x, y), in icon pixels, lies on the rounded tile.
bool on_tile(double x, double y, int size)
{
    const double half = size / 2.0;
    const double inset = size * TILE_INSET;
    const double radius = size * TILE_RADIUS;
    const double straight = half - inset - radius;  // half-length of each side's straight part
    double dx = (x > half ? x - half : half - x) - straight;
    double dy = (y > half ? y - half : half - y) - straight;
    if (dx > radius || dy > radius) return false;
    if (dx < 0) dx = 0;
    if (dy < 0) dy = 0;
    return dx * dx + dy * dy <= radius * radius;
}

}  // namespace

void draw_icon_samples(int size)
{
    const int side = size * ICON_SUPERSAMPLE;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The title's view (eye, look direction, lamp, depth test and lighting) ...
    place_camera(0, 0, 0, 90, 0, side, side);
    // ... with a parallel projection that frames the monogram alone.
    const double view = (MONOGRAM_RIGHT - MONOGRAM_LEFT) / MONOGRAM_WIDTH;
    const double centre_x = (MONOGRAM_LEFT + MONOGRAM_RIGHT) / 2;
    const double centre_y = (MONOGRAM_BOTTOM + MONOGRAM_TOP) / 2;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(centre_x - view / 2, centre_x + view / 2, centre_y - view / 2, centre_y + view / 2, 0.5, 1500);
    glMatrixMode(GL_MODELVIEW);
    const float fade = world.title_fade;
    world.title_fade = 1;
    draw_monogram(true);
    world.title_fade = fade;
    glFinish();
}

std::vector<unsigned char> icon_from_samples(int size, const std::vector<unsigned char>& samples)
{
    const int side = size * ICON_SUPERSAMPLE;
    // The monogram's colours are never black: a black sample is background,
    // which is the tile where the tile is and transparent elsewhere.
    std::vector<unsigned char> rgba((size_t)size * (size_t)size * 4, 0);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            unsigned sum[3] = {0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < ICON_SUPERSAMPLE; ++sy) {
                for (int sx = 0; sx < ICON_SUPERSAMPLE; ++sx) {
                    const int y = row * ICON_SUPERSAMPLE + sy, x = column * ICON_SUPERSAMPLE + sx;
                    const unsigned char* s = &samples[((size_t)y * (size_t)side + (size_t)x) * 3];
                    const bool glyph = s[0] | s[1] | s[2];
                    if (!glyph && !on_tile((x + 0.5) / ICON_SUPERSAMPLE, (y + 0.5) / ICON_SUPERSAMPLE, size)) continue;
                    ++covered;
                    for (int c = 0; c < 3; ++c) sum[c] += s[c];
                }
            }
            unsigned char* out = &rgba[((size_t)row * (size_t)size + (size_t)column) * 4];
            if (covered == 0) continue;
            // Straight alpha: the colour is the average of the covered samples.
            for (int c = 0; c < 3; ++c) out[c] = (unsigned char)((sum[c] + covered / 2) / (unsigned)covered);
            constexpr int SAMPLES = ICON_SUPERSAMPLE * ICON_SUPERSAMPLE;
            out[3] = (unsigned char)((covered * 255 + SAMPLES / 2) / SAMPLES);
        }
    }
    return rgba;
}
