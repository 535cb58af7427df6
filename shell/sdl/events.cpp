// SDL events as the message loop's platform events.
#include "shell/sdl/events.h"

#include <SDL_video.h>

#include "shell/sdl/key_map.h"

namespace {

platform_event window_event(const SDL_WindowEvent& w, Uint32 window_id, Uint32 window_flags)
{
    platform_event out = {};
    out.kind = PLATFORM_EVENT_OTHER;
    if (window_id == 0 || w.windowID != window_id) return out;
    switch (w.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
        out.kind = PLATFORM_EVENT_ACTIVATE;
        out.minimised = true;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        out.kind = PLATFORM_EVENT_ACTIVATE;
        out.minimised = false;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        // An activation says whether the window is minimised at that moment;
        // losing the focus says nothing, so drawing goes on behind others.
        out.kind = PLATFORM_EVENT_ACTIVATE;
        out.minimised = (window_flags & SDL_WINDOW_MINIMIZED) != 0;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        out.kind = PLATFORM_EVENT_RESIZE;
        out.width = w.data1;
        out.height = w.data2;
        break;
    default:
        break;
    }
    return out;
}

}  // namespace

platform_event platform_event_from_sdl(const SDL_Event& event, Uint32 window_id,
                                       Uint32 window_flags)
{
    platform_event out = {};
    out.kind = PLATFORM_EVENT_OTHER;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out.kind = event.type == SDL_KEYDOWN ? PLATFORM_EVENT_KEY_DOWN : PLATFORM_EVENT_KEY_UP;
        out.key = virtual_key_from_sdl(event.key.keysym.sym, event.key.keysym.scancode);
        break;
    case SDL_WINDOWEVENT:
        out = window_event(event.window, window_id, window_flags);
        break;
    case SDL_QUIT:
        // The close button of the last window; the program then ends with 0.
        out.kind = PLATFORM_EVENT_QUIT;
        out.code = 0;
        break;
    default:
        break;
    }
    return out;
}
