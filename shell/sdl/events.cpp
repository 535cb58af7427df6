// SDL keys and events as the loop's virtual-key codes and platform events.
#include "shell/sdl/events.h"

#include <SDL_video.h>

#include "common/keys.h"
#include "shell/event_queue.h"

namespace {

struct key_pair {
    SDL_Keycode sdl;
    int virtual_key;
};

// Keys outside the letter, digit and function-key runs.
const key_pair named_keys[] = {
    {SDLK_BACKSPACE, 0x08},
    {SDLK_TAB, 0x09},
    {SDLK_RETURN, 0x0D},
    {SDLK_KP_ENTER, 0x0D},
    {SDLK_LSHIFT, 0x10},
    {SDLK_RSHIFT, 0x10},
    {SDLK_LCTRL, 0x11},
    {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12},
    {SDLK_RALT, 0x12},
    {SDLK_PAUSE, 0x13},
    {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, VK_CODE_ESCAPE},
    {SDLK_SPACE, 0x20},
    {SDLK_PAGEUP, 0x21},
    {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},
    {SDLK_HOME, 0x24},
    {SDLK_LEFT, VK_CODE_LEFT},
    {SDLK_UP, VK_CODE_UP},
    {SDLK_RIGHT, VK_CODE_RIGHT},
    {SDLK_DOWN, VK_CODE_DOWN},
    {SDLK_PRINTSCREEN, 0x2C},
    {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E},
    {SDLK_KP_MULTIPLY, 0x6A},
    {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},
    {SDLK_KP_DIVIDE, 0x6F},
    {SDLK_NUMLOCKCLEAR, 0x90},
    {SDLK_SCROLLLOCK, 0x91},
};

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

int virtual_key_from_sdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) return 0x41 + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return 0x30 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_CODE_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 0x61 + (key - SDLK_KP_1);
    if (key == SDLK_KP_0) return 0x60;
    for (const key_pair& pair : named_keys) {
        if (pair.sdl == key) return pair.virtual_key;
    }
    return -1;
}

int virtual_key_from_sdl(SDL_Keycode key, SDL_Scancode position)
{
    if (key >= SDLK_a && key <= SDLK_z) return 0x41 + (key - SDLK_a);
    if (position >= SDL_SCANCODE_A && position <= SDL_SCANCODE_Z)
        return 0x41 + (position - SDL_SCANCODE_A);
    return virtual_key_from_sdl(key);
}

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
