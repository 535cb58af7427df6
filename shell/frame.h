// Frame drivers: one frame of the interactive program or of the screensaver.
#pragma once

bool run_frame_interactive();
bool run_frame_saver();
// The driver of the program whose world this is.
bool run_frame();
