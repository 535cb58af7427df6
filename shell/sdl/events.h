// SDL events as the message loop's platform events.
#pragma once
#include <SDL_events.h>
#include <SDL_stdinc.h>

#include "shell/platform.h"

// What one SDL event means to the loop. `window_id` is the open window's id
// (0 when none): window events of any other window, such as a window the
// F1 switch has just destroyed, mean nothing. `window_flags` are the open
// window's SDL flags, for its minimised state when it gains the focus.
platform_event platform_event_from_sdl(const SDL_Event& event, Uint32 window_id,
                                       Uint32 window_flags);
