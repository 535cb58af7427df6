// The window and its OpenGL context on SDL2.
#pragma once

// The title of every window of both programs.
extern const char* const WINDOW_TITLE;

// Opens a window whose client area is width x height with a current,
// double-buffered OpenGL context with a depth buffer, full screen in a
// display mode of that size when `fullscreen` is set. Stores `fullscreen`
// into the world first and clears it when the user accepts a window instead
// of an unavailable mode. On failure it shows its message, releases what it
// made and returns false. `colour_bits` is the colour depth asked for.
bool open_window(const char* title, int width, int height, int colour_bits, bool fullscreen);

// Releases everything open_window made, in the reverse order: the display
// mode, the font and cached shapes, the context, the window. Shows a message
// for a step that fails and goes on.
void close_window();

// Shows the frame just drawn.
void swap_window_buffers();

// The open window's SDL id and flags, 0 when there is none.
unsigned int open_window_id();
unsigned int open_window_flags();
