// The frame rate shown in the picture's top-left corner (--fps): frames per
// second over the last whole second, and the time a frame took to draw.
#pragma once

// Turns the figures on or off.
void show_frame_rate(bool shown);

// Around each frame's drawing: notes its start; after it, draws the figures
// over the picture. Neither does anything while the figures are off.
void start_frame_timing();
void draw_frame_rate();
