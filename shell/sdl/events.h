// SDL keys and events as the loop's virtual-key codes and platform events.
#pragma once
#include <SDL_events.h>
#include <SDL_stdinc.h>

#include "shell/platform.h"

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

// What one SDL event means to the loop. `window_id` is the open window's id
// (0 when none): window events of any other window, such as a window the
// F1 switch has just destroyed, mean nothing. `window_flags` are the open
// window's SDL flags, for its minimised state when it gains the focus.
platform_event platform_event_from_sdl(const SDL_Event& event, Uint32 window_id,
                                       Uint32 window_flags);
