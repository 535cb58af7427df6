// SDL events as the message loop's platform events.
#include "shell/sdl/events.h"

#include <SDL_video.h>

#include "shell/event_queue.h"
#include "shell/sdl/key_map.h"

namespace {

platform_event window_event(const SDL_WindowEvent& w, Uint32 window_id, Uint32 window_flags)
{
    const platform_event other = {};  // PLATFORM_EVENT_OTHER
    if (window_id == 0 || w.windowID != window_id) return other;
    switch (w.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
        return activate_event(true);
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        return activate_event(false);
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        // An activation says whether the window is minimised at that moment;
        // losing the focus says nothing, so drawing goes on behind others.
        return activate_event((window_flags & SDL_WINDOW_MINIMIZED) != 0);
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        return resize_event(w.data1, w.data2);
    default:
        return other;
    }
}

}  // namespace

platform_event platform_event_from_sdl(const SDL_Event& event, Uint32 window_id,
                                       Uint32 window_flags)
{
    platform_event out = {};  // PLATFORM_EVENT_OTHER
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out.kind = event.type == SDL_KEYDOWN ? PLATFORM_EVENT_KEY_DOWN : PLATFORM_EVENT_KEY_UP;
        out.key = virtual_key_from_sdl(event.key.keysym.sym, event.key.keysym.scancode);
        return out;
    case SDL_WINDOWEVENT:
        return window_event(event.window, window_id, window_flags);
    case SDL_QUIT:
        // The close button of the last window; the program then ends with 0.
        return quit_event(0);
    default:
        return out;
    }
}
