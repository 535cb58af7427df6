// Offscreen OpenGL context of the headless renderer: EGL without a display, drawing into a framebuffer object.
#pragma once
#include <string>
#include <vector>

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

// The whole framebuffer as 8-bit RGB, top row first (the order of image
// files), and its size.
std::vector<unsigned char> read_render_frame(int& width, int& height);
