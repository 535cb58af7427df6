// The picture's place in a window of any size. A fitted picture is the
// frame (world.mode_width x world.mode_height) scaled with its aspect kept,
// centred, with black bars where the window's shape differs; it is what a
// screensaver draws in a window of another program or over every monitor.
// Not fitted (the default), the frame's pixels are the window's pixels.
#pragma once

struct picture_rect {
    int x, y;           // bottom-left corner, in window pixels from the bottom-left
    int width, height;
};

// The frame_width x frame_height frame fitted into a window of
// window_width x window_height: as large as fits, aspect kept, centred.
// Never empty: a window without pixels still gets a 1 x 1 picture.
picture_rect fit_picture(int frame_width, int frame_height, int window_width, int window_height);

// Turns fitting on or off for the windows opened from now on.
void set_picture_fitted(bool fitted);
bool picture_fitted();

// The window's client size changed: places the picture in it, keeps drawing
// inside the picture (scissor) and, when the picture's scale changed,
// builds the font again at its new size. Nothing happens when not fitted.
void fit_picture_to_window(int width, int height);

// The picture's rectangle and its scale against the frame (1 when not fitted).
picture_rect fitted_picture();
double picture_scale();

// glViewport for a rectangle given in frame pixels, placed in the picture.
void set_frame_viewport(int x, int y, int width, int height);

// The extent of the overlay's pixel projection: the frame when fitted, the
// window's client area otherwise.
void overlay_extent(int& width, int& height);

// Back to drawing anywhere in the picture after a narrower scissor: the
// fitted picture's scissor box, or no scissor when not fitted.
void restore_picture_scissor();

// Clears the bars around a fitted picture to black, leaving the clear colour
// and everything inside the picture as they were. Nothing when not fitted.
void clear_picture_bars();
