// Offscreen OpenGL context of the headless renderer: EGL without a display, drawing into a framebuffer object.
#pragma once
#include <string>

// Creates a desktop OpenGL context (compatibility profile) with a width x height
// colour and depth framebuffer and makes it current on the calling thread. A
// context this module made earlier is destroyed first. Tries Mesa's surfaceless
// platform, then every EGL device, then the default display. On failure returns
// false with a one-line reason in `error`.
bool create_render_context(int width, int height, std::string& error);

// Destroys the context and its framebuffer; the EGL display stays open.
void destroy_render_context();

// Whether a context of this module is current.
bool render_context_exists();

int render_context_width();
int render_context_height();

// Reads the whole framebuffer as 8-bit RGB, top row first (the order of image
// files); `rgb` holds width x height x 3 bytes.
void read_render_pixels_rgb(unsigned char* rgb);

// Reads a rectangle of the framebuffer as 8-bit RGBA, bottom row first, in
// OpenGL's window coordinates.
void read_render_pixels_rgba(int x, int y, int width, int height, unsigned char* rgba);

// The renderer's own description of itself (GL_RENDERER), or "" without a context.
const char* render_context_renderer();
