// Frame drivers: one frame of the interactive program or of the screensaver.
#pragma once

bool run_frame_interactive();
bool run_frame_saver();
// The driver of the program whose world this is.
bool run_frame();

// Colour factors of a frame: t = (pitch + 180) / 2160, d = camera_y / 800 + 1.5.
// The clear colour and the fog colour are both (0, d (t + 0.2), d (t + 0.4), 1).
void frame_colour_factors(float pitch, float camera_y, float& t, float& d);

// The screensaver's turn of one degree per frame (no OpenGL).
void turn_saver_camera();
