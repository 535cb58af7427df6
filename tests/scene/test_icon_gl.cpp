// The icon: the monogram on its tile at every size, drawn as tarvelin_render draws it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/world.h"
#include "render/gl_setup.h"
#include "scene/icon.h"
#include "tests/support/gl_context.h"

namespace {

struct rgba_pixel {
    int r, g, b, a;
};

rgba_pixel at(const std::vector<unsigned char>& rgba, int size, int x, int y)
{
    const unsigned char* p = &rgba[((size_t)y * (size_t)size + (size_t)x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

bool yellow(const rgba_pixel& p)
{
    return p.a == 255 && p.r > 200 && p.g > 200 && p.b < 60;
}

bool green(const rgba_pixel& p)
{
    return p.a == 255 && p.r < 60 && p.g > 200 && p.b < 60;
}

// The icon of the world as it is: its samples drawn in a new context of
// their size, in the state setup_gl gives it, and read back top row first.
bool render(int size, std::vector<unsigned char>& rgba)
{
    const int side = size * ICON_SUPERSAMPLE;
    if (!make_test_gl_context(side, side)) return false;
    setup_gl();
    draw_icon_samples(size);
    const std::vector<unsigned char> bottom_up = read_test_frame(side, side);
    std::vector<unsigned char> samples((size_t)side * (size_t)side * 3);
    for (size_t y = 0; y < (size_t)side; ++y)
        for (size_t x = 0; x < (size_t)side; ++x)
            std::memcpy(&samples[(y * side + x) * 3], &bottom_up[((side - 1 - y) * side + x) * 4], 3);
    rgba = icon_from_samples(size, samples);
    return true;
}

}  // namespace

TEST(Icon, MonogramOnARoundedTileAtEveryInstalledSize)
{
    if (!make_test_gl_context(8, 8)) GTEST_SKIP() << test_gl_context_error();
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        reset_world(false);
        std::vector<unsigned char> rgba;
        ASSERT_TRUE(render(size, rgba));
        ASSERT_EQ(rgba.size(), (size_t)size * (size_t)size * 4);

        // Outside the tile's rounded corners: transparent; their edges are smoothed.
        for (int x : {0, size - 1})
            for (int y : {0, size - 1}) EXPECT_EQ(at(rgba, size, x, y).a, 0);
        int yellow_count = 0, green_count = 0, black_count = 0, partial = 0;
        int left = size, right = -1, top = size, bottom = -1;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const rgba_pixel p = at(rgba, size, x, y);
                if (p.a > 0 && p.a < 255) ++partial;
                if (p.a == 255 && p.r == 0 && p.g == 0 && p.b == 0) ++black_count;
                const bool glyph = p.a == 255 && (p.r > 100 || p.g > 100);
                yellow_count += yellow(p);
                green_count += green(p);
                if (glyph) {
                    if (x < left) left = x;
                    if (x > right) right = x;
                    if (y < top) top = y;
                    if (y > bottom) bottom = y;
                }
            }
        }
        // The first glyph as the lamp lights it in the title, the second in green, on black.
        EXPECT_GT(yellow_count, size * size / 80);
        EXPECT_GT(green_count, size * size / 80);
        EXPECT_GT(black_count, size * size / 4);
        EXPECT_GT(partial, 0);
        // The monogram is centred and keeps clear of the tile's edge.
        ASSERT_GE(right, 0);
        EXPECT_NEAR(left + right, size - 1, 2);
        EXPECT_NEAR(top + bottom, size - 1, 2);
        EXPECT_GT(left, 0);
        EXPECT_GT(top, 0);
        EXPECT_GT((right - left + 1) * 10, size * 7);  // readable: most of the width
    }
}

TEST(Icon, SameBytesEachTimeWhateverTheTitlesFade)
{
    if (!make_test_gl_context(8, 8)) GTEST_SKIP() << test_gl_context_error();
    std::vector<unsigned char> first, second;
    reset_world(false);
    ASSERT_TRUE(render(48, first));
    world.title_fade = 0.25f;
    ASSERT_TRUE(render(48, second));
    EXPECT_EQ(first, second);
    // The title's own fade is left as it was.
    EXPECT_EQ(world.title_fade, 0.25f);
}
