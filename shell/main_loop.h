// The message loop of both programs, written against a small platform seam.
#pragma once

// What one event from the platform's queue means to the loop.
enum platform_event_kind {
    PLATFORM_EVENT_OTHER,     // removed from the queue, nothing else
    PLATFORM_EVENT_KEY_DOWN,  // `key` is the virtual-key code, or -1 for a key without one
    PLATFORM_EVENT_KEY_UP,
    PLATFORM_EVENT_ACTIVATE,  // the window was activated, minimised or restored; `minimised` tells
    PLATFORM_EVENT_RESIZE,    // the client area is now `width` x `height`
    PLATFORM_EVENT_QUIT,      // the window's close button; `code` is the exit code
};

struct platform_event {
    platform_event_kind kind;
    int key;
    bool minimised;
    int width, height;
    int code;
};

// The platform's part of the loop. Every function is called on the loop's
// thread; `idle` may be null.
struct platform_seam {
    // Removes one event from the queue without waiting; false when it is empty.
    bool (*poll_event)(platform_event& event);
    // The size handler, in the window's context.
    void (*resize)(int width, int height);
    // One frame: the frame driver, then the buffer swap (and the frame pacing).
    void (*draw_frame)();
    // A turn with an empty queue and no frame to draw.
    void (*idle)();
    // open_window with world.fullscreen, world.mode_width and world.mode_height.
    bool (*open_window)();
    void (*close_window)();
};

// Applies one event to the world: the keys table, `active`, `done`, the size.
// Keys outside the table are ignored.
void apply_platform_event(const platform_event& event, const platform_seam& seam);

// One turn of the loop: one event if one waits; otherwise a frame when
// `active` is set, then the F1 switch. Returns false when the window could
// not be opened again after F1 (the program then ends with exit code 0).
bool run_loop_turn(const platform_seam& seam);

// The loop, until `done`; then closes the window. Returns the exit code: the
// quit event's code when the close button ended the loop, 0 otherwise.
// The window must be open when it is called.
int run_main_loop(const platform_seam& seam);
