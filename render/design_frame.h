// The frame at its design size: drawn offscreen at world.mode_width x
// world.mode_height exactly as in a window of that size, then scaled into the
// window with its aspect kept, centred, bars black. A software renderer draws
// the same number of pixels at any window size this way; a GPU draws sharper
// pictures at the window's own size (render/picture_fit.h).
#pragma once

enum picture_resolution {
    RESOLUTION_AUTO,    // design size on a software renderer when the picture would be scaled up, else window size
    RESOLUTION_DESIGN,  // design size wherever the context has framebuffer objects
    RESOLUTION_WINDOW,  // window size
};

// The choice for the windows opened and resized from now on.
void set_picture_resolution(picture_resolution choice);
picture_resolution picture_resolution_choice();

// The size handler's first step, with the window's drawable size: decides
// how the frames are drawn from now on and turns the size into the one the
// frame is drawn at (the design size, or the window's as it is). Makes or
// unbinds the offscreen framebuffer; the context must be current.
void choose_frame_size(int& width, int& height);

// Whether frames are drawn at the design size, offscreen.
bool drawing_design_size();

// Around each frame: the offscreen framebuffer is bound for the frame's
// drawing; after it, the frame is scaled into the window (linear filtering,
// nearest when the scale is a whole number), the bars cleared to black, and
// the window's framebuffer bound again for the buffer swap and read-backs.
// Both do nothing at window size.
void begin_design_frame();
void present_design_frame();

// Deletes the offscreen framebuffer; with the context's other objects.
void release_design_frame();

// Whether GL_RENDERER names a software rasteriser (llvmpipe, softpipe,
// SwiftShader, Windows' GDI Generic).
bool is_software_renderer(const char* renderer);
