// Holds the Win32 programs to at most 60 frames a second.
#pragma once

// Waits until the next 1/60 s tick, or until a message arrives for the
// thread's queue, whichever comes first. True when the tick has come.
bool wait_for_frame_tick();
// Starts the next 1/60 s period; called once for each tick that came.
void start_frame_period();
