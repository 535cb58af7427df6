// X errors on SDL's X11 driver: a window destroyed by another client ends the program cleanly.
#pragma once

// Where SDL draws through X11, takes over X's error handler: an X error (a
// window another client destroyed, a drawable gone) is written once on
// standard error and remembered, instead of ending the process inside
// Xlib or running SDL's handler, which talks to the server from within the
// error and can deadlock there. Called after SDL opens its display.
void guard_x11_errors();

// Whether an X error has happened since the program started; the program
// then ends with its cannot-run code, after restoring the display mode.
bool x11_error_seen();
