// The platform seam for the screensaver drawn in another program's X window
// (XScreenSaver, xsecurelock, a settings preview): Xlib and GLX only, so
// that nothing of a desktop program's own window, display mode or
// screensaver inhibition comes along.
#pragma once

#include "shell/platform.h"

// Opens only WINDOW_IN_HOST windows: the host's window as it is (0: the
// root window), an OpenGL context of its own for that window's visual, its
// size reported as a resize event and again whenever it changes. Where the
// host's visual has no depth buffer or no double buffering (a settings
// preview made for 2D hacks), the frames go to a child window of the host
// with a visual that has them, kept at the host's size. The host
// going away ends the program with code 0; a stop signal
// (shell/posix/stop_signals.h) with the signal's code. It never shows a
// box: messages are one line each on standard error.
const platform& x11_host_platform();
