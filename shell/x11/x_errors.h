// X errors that must not end the program inside Xlib: each is noted, and nothing more.
#pragma once

// Takes over X's error handler. An X error (a window another client
// destroyed, a drawable gone) is noted instead of ending the process inside
// Xlib or running a handler that talks to the server from within the error,
// as SDL's does, which can deadlock there. With `report`, the first error
// is also written on standard error.
void catch_x_errors(bool report);

// The code of the last X error since forget_x_errors (or the start), 0 for none.
int last_x_error();
void forget_x_errors();
