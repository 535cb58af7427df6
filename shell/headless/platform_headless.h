// The platform seam without a display: an offscreen EGL context, a key script as keyboard, a clock that never waits.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "common/key_script.h"
#include "shell/platform.h"

// The kind of context every context of the process is: desktop OpenGL
// (compatibility profile; the default) drawn through directly, or OpenGL ES 3
// drawn through the emulation of gles/. Chosen before the first context.
enum render_api { RENDER_API_GL, RENDER_API_GLES };
void use_render_api(render_api api);

// Makes a context of the chosen kind with a width x height colour and depth
// framebuffer current, destroying the one made before: on Mesa's surfaceless
// platform, else an EGL device, else the default display. On failure false
// with a one-line reason in `error`.
bool create_render_context(int width, int height, std::string& error);
// Destroys the context and its framebuffer; the EGL display stays open.
void destroy_render_context();
bool render_context_exists();
// The whole framebuffer as 8-bit RGB, top row first (the order of image files), and its size.
std::vector<unsigned char> read_render_frame(int& width, int& height);

// What the platform runs.
struct headless_run {
    long frames = 0;             // frames to draw; a quit event then ends the loop
    std::vector<key_hold> keys;  // the key script, as the keyboard
    // The size of every window whatever the program asks for, reported as a
    // resize event before the next frame (a host's window; the icon's
    // samples); 0 x 0: the size asked for.
    int width = 0, height = 0;
    // Called after each frame, drawn and finished, with its number (from 1),
    // whether it was a title frame and its time in milliseconds; false ends
    // the loop with exit code 1.
    std::function<bool(long frame, bool title, double ms)> frame_done;
    std::string error;  // the first failure's message
};

// The platform, running `run` from its first frame; it keeps `run` until the
// next call. A context still open when a window opens is replaced by the
// window's: its lists must have been released (close_program_window).
const platform& headless_platform(headless_run& run);
