// X errors on SDL's X11 driver: remembered, never handled by talking to the server.
#include "shell/sdl/x11_guard.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

volatile std::sig_atomic_t error_seen = 0;

// An X error handler may not send requests to the server (Xlib holds its
// lock): it only notes the error. The text comes from Xlib's local table.
int note_x_error(Display* display, XErrorEvent* error)
{
    if (!error_seen) {
        char text[128] = "";
        XGetErrorText(display, error->error_code, text, sizeof text);
        std::fprintf(stderr, "%s: X error on 0x%lx (request %d): %s\n", program_invocation_short_name,
                     error->resourceid, (int)error->request_code, text);
    }
    error_seen = 1;
    return 0;
}

}  // namespace

void guard_x11_errors()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) XSetErrorHandler(note_x_error);
}

bool x11_error_seen()
{
    return error_seen != 0;
}
