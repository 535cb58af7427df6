// Test helper: an offscreen OpenGL context for render and feedback-mode tests.
#pragma once

// Makes a fresh offscreen OpenGL context (compatibility profile) with a
// width x height colour and depth framebuffer current on the calling thread,
// in OpenGL's initial state with the viewport covering the framebuffer. The
// shape cache and the font of an earlier context are released first. Returns
// false only when no EGL context can be had at all; tests then skip:
//     if (!make_test_gl_context(64, 64)) GTEST_SKIP() << test_gl_context_error();
bool make_test_gl_context(int width, int height);

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
