// The platform seam on SDL2: events, clock, the window functions and message boxes in one table.
#include "shell/sdl/platform_sdl.h"

#include <SDL.h>

#include "shell/freetype/font_freetype.h"
#include "shell/pacing.h"
#include "shell/program.h"
#include "shell/sdl/events.h"
#include "shell/sdl/stop_signals.h"
#include "shell/sdl/window.h"
#include "shell/sdl/x11_guard.h"

namespace {

// The event queue outlives each window: the F1 switch closes the video
// subsystem with its window and opens it again.
bool start_events()
{
    // Stop signals are the program's own (stop_signals.h), so that they also
    // end it while a message box is up; SDL would only queue a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
}

void finish()
{
    SDL_Quit();
}

bool poll_sdl_event(platform_event& event)
{
    int code = 0;
    if (stop_requested(code)) {
        event = {};
        event.kind = PLATFORM_EVENT_QUIT;
        event.code = code;
        return true;
    }
    // The window is gone under the program (another client destroyed it):
    // end, restoring the display mode on the way out.
    if (x11_error_seen()) {
        event = {};
        event.kind = PLATFORM_EVENT_QUIT;
        event.code = EXIT_CANNOT_RUN;
        return true;
    }
    SDL_Event sdl_event;
    if (!SDL_PollEvent(&sdl_event)) return false;
    event = platform_event_from_sdl(sdl_event, open_window_id(), open_window_flags());
    return true;
}

// The wait for the next frame ends at once for a stop signal.
bool wait_until_or_stop(int64_t deadline_ns)
{
    return wait_until_stop_or_input(deadline_ns, -1);
}

const platform sdl = {
    start_events,
    finish,
    sdl_open_display,
    sdl_enter_display_mode,
    sdl_leave_display_mode,
    sdl_open_window,
    sdl_has_context,
    sdl_close_window,
    sdl_swap_buffers,
    poll_sdl_event,
    system_now_ns,
    wait_until_or_stop,
    sdl_message_box,
    {make_freetype_font, free_freetype_font},
    SDL_GetError,
};

}  // namespace

const platform& sdl_platform()
{
    return sdl;
}
