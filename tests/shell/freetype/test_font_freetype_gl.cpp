// The bitmap font made from a FreeType face: 96 glyph lists with a monospaced advance.
#include <gtest/gtest.h>

#include <string>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "render/overlay.h"
#include "shell/freetype/font_freetype.h"
#include "tests/support/gl_context.h"
#include "tests/support/gl_frame.h"

namespace {

constexpr int W = 128, H = 96;

}  // namespace

TEST(FontFreetype, NinetySixGlyphListsWithMonospacedAdvance)
{
    if (!make_test_gl_context(W, H)) GTEST_SKIP() << test_gl_context_error();
    reset_world(false);
    std::string path, family;
    int index = 0;
    if (!find_font_file(path, index, family)) GTEST_SKIP() << "no monospaced font installed";
    make_font();
    ASSERT_NE(world.font_base, 0u);
    for (unsigned k = 0; k < 96; ++k) ASSERT_TRUE(glIsList(world.font_base + k)) << k;

    on_resize(W, H);
    glDisable(GL_LIGHTING);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    begin_overlay();
    glColor3f(1, 0, 0);
    print_text(10, 20, "%s", "MMMM");
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    // Courier New and Liberation Mono advance 0.6 of the 10-pixel em: 6 pixels.
    EXPECT_NEAR(raster[0] - 10, 4 * 6, 4 * 1.0) << family;
    EXPECT_EQ(raster[1], 20);
    // The glyphs stand on the baseline at y = 20, about 7 pixels tall, in the current colour.
    const auto text = read_test_frame(W, H);
    int inside = 0, outside = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const unsigned char* p = &text[((size_t)y * W + x) * 4];
            if (p[0] < 128) continue;
            EXPECT_EQ(p[1], 0);
            (x >= 10 && x < 10 + 4 * 7 && y >= 20 && y < 20 + 10 ? inside : outside)++;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);

    free_font();
    EXPECT_EQ(world.font_base, 0u);
    expect_no_gl_error();
}
