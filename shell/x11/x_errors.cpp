// X errors noted by a handler that never talks to the server.
#include "shell/x11/x_errors.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <cstdio>

namespace {

int last_error = 0;
// Whether the first error is written on standard error, and whether it was.
bool report_first = false;
bool reported = false;

// An X error handler may not send requests to the server (Xlib holds its
// lock): it only notes the error. The text comes from Xlib's local table.
int note_x_error(Display* display, XErrorEvent* error)
{
    if (report_first && !reported) {
        char text[128] = "";
        XGetErrorText(display, error->error_code, text, sizeof text);
        if (error->error_code == BadWindow || error->error_code == BadDrawable)
            std::fprintf(stderr, "%s: the window was closed by another program (X error on 0x%lx: %s)\n",
                         program_invocation_short_name, error->resourceid, text);
        else
            std::fprintf(stderr, "%s: X error on 0x%lx (request %d): %s\n", program_invocation_short_name,
                         error->resourceid, (int)error->request_code, text);
        reported = true;
    }
    last_error = error->error_code;
    return 0;
}

}  // namespace

void catch_x_errors(bool report)
{
    report_first = report;
    XSetErrorHandler(note_x_error);
}

int last_x_error()
{
    return last_error;
}

void forget_x_errors()
{
    last_error = 0;
}

bool x_window_gone(void* display, unsigned long window)
{
    XWindowAttributes attributes;
    return !XGetWindowAttributes((Display*)display, window, &attributes);
}

void settle_x_errors(void* display)
{
    XSync((Display*)display, False);
}
