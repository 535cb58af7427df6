// SDL key codes to the virtual-key codes of the keys table.
#pragma once
#include <SDL_keycode.h>

// The virtual-key code for an SDL key, or -1 for a key the table has no
// code for. Letters map to their capital's code whatever the case, as the
// virtual keys do.
int virtual_key_from_sdl(SDL_Keycode key);
