// SDL key codes to the virtual-key codes of the keys table.
#pragma once
#include <SDL_keycode.h>
#include <SDL_scancode.h>

// The virtual-key code for an SDL key, or -1 for a key the table has no
// code for. Letters map to their capital's code whatever the case, as the
// virtual keys do.
int virtual_key_from_sdl(SDL_Keycode key);

// The virtual-key code for a key as pressed on the keyboard's current
// layout: a letter key counts as its letter where the layout gives it a
// Latin letter (the key labelled Q on AZERTY is Q), and otherwise by its
// position, as on a US layout (the key in Q's place on a Russian layout is
// Q). Every other key counts by its SDL key code.
int virtual_key_from_sdl(SDL_Keycode key, SDL_Scancode position);
