// The platform seam: everything a front end provides to the program, and nothing more.
//
// A front end (shell/sdl, shell/win32, shell/headless) fills one `platform`
// with its functions and hands it to the program (shell/program.h). The
// program does the rest: opening a window and setting up GL, releasing what
// belongs to a context before it closes, the loop, the pacing, the F1 switch,
// the start questions and the screensaver's start values. Every function is
// called on the program's one thread.
#pragma once
#include <cstdint>

#include "render/font.h"
#include "shell/messages.h"

// What one event from the platform's queue means to the loop.
enum platform_event_kind {
    PLATFORM_EVENT_OTHER,     // removed from the queue, nothing else
    PLATFORM_EVENT_KEY_DOWN,  // `key` is the virtual-key code, or -1 for a key without one
    PLATFORM_EVENT_KEY_UP,
    PLATFORM_EVENT_ACTIVATE,  // the window was activated, minimised or restored; `minimised` tells
    PLATFORM_EVENT_RESIZE,    // the client area is now `width` x `height`
    PLATFORM_EVENT_QUIT,      // the program is asked to end; `code` is its exit code
    PLATFORM_EVENT_POINTER_MOVE,  // the pointer is at `x`, `y` (screen pixels)
    PLATFORM_EVENT_BUTTON_DOWN,   // a mouse button was pressed
};

struct platform_event {
    platform_event_kind kind;
    int key;
    bool minimised;
    int width, height;
    int code;
    int x, y;
};

// Where the window the program asks for goes.
enum window_kind {
    WINDOW_OWN,           // a window of its own, width x height, full screen when asked
    WINDOW_OVER_DESKTOP,  // a borderless window over every monitor, the display mode untouched
    WINDOW_IN_HOST,       // drawn in `host`, a window of another program, at that window's size
};

// The window the program asks for: a client area of width x height with a
// double-buffered OpenGL context with a depth buffer, full screen when
// `fullscreen` is set (the display mode is entered before the window opens).
// A window over the desktop or in a host has a size of its own, which the
// platform reports as a resize event before the first frame; neither is
// ever full screen in this sense.
struct window_request {
    const char* title;
    int width, height;
    int colour_bits;
    bool fullscreen;
    window_kind kind;
    // WINDOW_IN_HOST: the host's window (an X window id, a Windows HWND);
    // 0 asks for the screen's root window where the platform has one.
    uintptr_t host;
    // With `fullscreen`: no display mode was entered; the window covers its
    // monitor at the desktop's resolution and reports that size as a resize.
    bool desktop;
};

struct platform {
    // Once before the world is generated and once after the last window;
    // either may be null. A false start (no display to show anything on)
    // ends the program at once, with MESSAGE_NO_DISPLAY and the cause.
    bool (*start)();
    void (*finish)();

    // Whatever every window needs first (a window class, the video
    // subsystem); false with the message to show.
    bool (*open_display)(message_id& failure);
    // Switches the display to width x height (or makes sure it can be
    // switched when the window shows); false when there is no such mode.
    bool (*enter_display_mode)(int width, int height, int colour_bits);
    // Back to the desktop's own mode, and the cursor shown again.
    void (*leave_display_mode)();
    // The window and its context, made current and shown (a host's window
    // is drawn in as it is: neither mapped nor raised). On failure it names
    // the message; the program then closes what was made and shows it.
    bool (*open_window)(const window_request& request, message_id& failure);
    // Whether a context exists, so that its lists can be released first.
    bool (*has_context)();
    // Releases the context, the window and what open_display made, in that
    // order, handing each step that fails to report_close_failure
    // (shell/program.h); safe on a half-made window.
    void (*close_window)();
    // Shows the frame just drawn.
    void (*swap_buffers)();

    // Removes one event from the queue without waiting; false when it is empty.
    bool (*poll_event)(platform_event& event);
    // A monotonic clock in nanoseconds, and a wait until it reads at least
    // `deadline_ns`. The wait may end early when an event arrives (it then
    // returns false and the loop handles the event first); it may also
    // return true early or late, and the pacing looks at the clock again.
    int64_t (*now_ns)();
    bool (*wait_until)(int64_t deadline_ns);

    // Shows the message box of `id` (texts from shell/messages.h) and
    // returns the button pressed; ANSWER_NOT_SHOWN when no box could be
    // shown (the program then writes its text on standard error).
    message_answer (*message_box)(message_id id);

    // The bitmap font's glyphs for render/font.h.
    font_source font;

    // The platform's own words for why the last step failed (SDL's error,
    // the system's message), or null when it has none to add; the program
    // prints them beside the message's text on standard error.
    const char* (*failure_cause)();

    // Whether a stop signal has arrived, with its exit code; null where
    // there are none. Start-up asks it between the world's passes.
    bool (*stop_requested)(int& code);
};
