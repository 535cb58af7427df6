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

// One frame of the program's frame driver without drawing and without a GL
// context: every change run_frame makes to the world (title, lamp, fog,
// bubbles, camera, ripples, plants, fish, the fish counted in sight, the
// dials' sweeps and readings), in the same order, with the view volume
// worked out from the camera (camera_matrices) rather than read back.
void advance_frame_without_drawing();

// The drawing steps of a main-view frame, in the order they run. The
// screensaver's frame has no view frame and no dials.
enum frame_step {
    FRAME_STEP_SET_UP,      // camera, clear, view volume, lamp, fog
    FRAME_STEP_BUBBLES,     // drawn and moved
    FRAME_STEP_CAMERA,      // the keys' movement or the saver's height hold
    FRAME_STEP_LAKE_BED,
    FRAME_STEP_TOWER,
    FRAME_STEP_WATER,
    FRAME_STEP_WEEDS,       // drawn, recycled and swayed
    FRAME_STEP_FISH,        // moved and drawn
    FRAME_STEP_VIEW_FRAME,  // sounder distance, overlay set-up, the frame
    FRAME_STEP_DIALS,
    FRAME_STEP_TEXT,        // the credit line
    FRAME_STEP_COUNT
};
const char* frame_step_name(frame_step step);

// A function called at the end of every drawing step of a main-view frame
// (benchmarks time the steps with it); none by default.
typedef void (*frame_step_observer)(frame_step step);
void set_frame_step_observer(frame_step_observer observer);
