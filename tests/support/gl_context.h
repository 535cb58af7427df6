// Test helper: an offscreen OpenGL context for render and feedback-mode tests.
#pragma once
#include <string>
#include <vector>

// Makes a fresh offscreen OpenGL context (compatibility profile) with a
// width x height colour and depth framebuffer current on the calling thread,
// in OpenGL's initial state with the viewport covering the framebuffer. The
// shape cache and the font of an earlier context are released first. Returns
// false only when no EGL context can be had at all; tests then skip:
//     if (!make_test_gl_context(64, 64)) GTEST_SKIP() << test_gl_context_error();
bool make_test_gl_context(int width, int height);

// A 1024 x 768 test context with the overlay begun at a 1024 x 768 client
// size, so overlay units are pixels.
bool make_large_overlay_context();

// Why the last make_test_gl_context failed.
const char* test_gl_context_error();

// Reads a rectangle of the framebuffer as 8-bit RGBA, bottom row first, with
// (x, y) in OpenGL window coordinates (origin at the bottom left).
void read_test_pixels(int x, int y, int width, int height, unsigned char* rgba);

// One pixel in window coordinates.
struct test_pixel {
    int r, g, b, a;
};
test_pixel read_test_pixel(int x, int y);

// The whole width x height framebuffer as 8-bit RGBA, bottom row first.
std::vector<unsigned char> read_test_frame(int width, int height);

// The number of RGBA pixels whose colour differs from (r, g, b) by more than a
// little (a sum of channel differences above 6).
int pixels_unlike(const std::vector<unsigned char>& rgba, int r, int g, int b);

// Checks that the pixel's red, green and blue are each within `tolerance` of
// (r, g, b); `what` names the place in a failure.
void expect_colour(const test_pixel& p, int r, int g, int b, const std::string& what, int tolerance = 3);
