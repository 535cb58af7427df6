// The platform seam without a display: an offscreen context, a key script as the keyboard, a clock that never waits.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "shell/headless/render_options.h"
#include "shell/platform.h"

// What the headless platform runs.
struct headless_run {
    long frames = 0;             // frames to draw; a quit event then ends the loop
    std::vector<key_hold> keys;  // the key script, as the keyboard
    // The size of every window, whatever size the program asks for (a
    // host's window, reported as a resize event before the first frame;
    // the icon's samples); 0 x 0: the size asked for.
    int width = 0, height = 0;
    // Called after each frame, drawn and finished, with its number (from 1),
    // whether it was a title frame and how long it took to draw in
    // milliseconds; false ends the loop with exit code 1.
    std::function<bool(long frame, bool title, double ms)> frame_done;
    std::string error;  // why the run failed: the first failure's message
};

// The platform, running `run` from its first frame; it keeps `run` until the
// next call. A context still open when a window opens is replaced by the
// window's: its lists must have been released (close_program_window).
const platform& headless_platform(headless_run& run);

// Renders the icon (scene/icon.h) as size x size RGBA pixels, straight
// alpha, rows top first, in a window of its samples that is opened and
// closed as the program opens and closes every window. On failure (a size
// outside ICON_MIN_SIZE..ICON_MAX_SIZE, no context) returns false with a
// one-line message in `error`.
bool render_icon(int size, std::vector<unsigned char>& rgba, std::string& error);
