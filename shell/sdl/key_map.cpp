// SDL key codes to the virtual-key codes of the keys table.
#include "shell/sdl/key_map.h"

#include "common/keys.h"

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
