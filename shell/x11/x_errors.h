// X errors that must not end the program inside Xlib: each is noted, and nothing more.
#pragma once

// Takes over X's error handler. An X error (a window another client
// destroyed, a drawable gone) is noted instead of ending the process inside
// Xlib or running a handler that talks to the server from within the error,
// as SDL's does, which can deadlock there. With `report`, the first error
// is also written on standard error: for a window or drawable that is gone,
// as the window closed by another program.
void catch_x_errors(bool report);

// The code of the last X error since forget_x_errors (or the start), 0 for none.
int last_x_error();
void forget_x_errors();

// Whether `window` on `display` (an Xlib Display*) is gone: asks the server
// about it, a round trip whose error, if any, is noted like any other.
bool x_window_gone(void* display, unsigned long window);

// Lets the server answer every request sent so far on `display`, so that
// their errors reach the handler now, before someone else (SDL closing its
// connection) puts Xlib's own handler back, which would end the process.
void settle_x_errors(void* display);
