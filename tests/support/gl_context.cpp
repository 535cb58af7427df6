// Test helper: offscreen OpenGL contexts through the headless renderer's EGL module.
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "render/overlay.h"
#include "shell/freetype/font_freetype.h"
#include "shell/headless/platform_headless.h"

namespace {
std::string last_error;
}

bool make_test_gl_context(int width, int height)
{
    // Lists of the old context must not be called in the new one.
    if (render_context_exists()) release_context_lists();
    use_font_source({make_freetype_font, free_freetype_font});
    last_error.clear();
    if (create_render_context(width, height, last_error)) return true;
    last_error = "no offscreen OpenGL context: " + last_error;
    return false;
}

bool make_large_overlay_context()
{
    if (!make_test_gl_context(1024, 768)) return false;
    world.client_width = 1024;
    world.client_height = 768;
    begin_overlay();
    return true;
}

const char* test_gl_context_error()
{
    return last_error.c_str();
}

void read_test_pixels(int x, int y, int width, int height, unsigned char* rgba)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glPopClientAttrib();
}

test_pixel read_test_pixel(int x, int y)
{
    unsigned char p[4] = {0, 0, 0, 0};
    read_test_pixels(x, y, 1, 1, p);
    return {p[0], p[1], p[2], p[3]};
}

std::vector<unsigned char> read_test_frame(int width, int height)
{
    std::vector<unsigned char> rgba((size_t)width * (size_t)height * 4);
    read_test_pixels(0, 0, width, height, rgba.data());
    return rgba;
}

int pixels_unlike(const std::vector<unsigned char>& rgba, int r, int g, int b)
{
    int n = 0;
    for (size_t k = 0; k + 3 < rgba.size(); k += 4)
        if (std::abs(rgba[k] - r) + std::abs(rgba[k + 1] - g) + std::abs(rgba[k + 2] - b) > 6) ++n;
    return n;
}

void expect_colour(const test_pixel& p, int r, int g, int b, const std::string& what, int tolerance)
{
    EXPECT_NEAR(p.r, r, tolerance) << what;
    EXPECT_NEAR(p.g, g, tolerance) << what;
    EXPECT_NEAR(p.b, b, tolerance) << what;
}
