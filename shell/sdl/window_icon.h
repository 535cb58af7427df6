// The windows' icon: the program's monogram, carried in the program.
#pragma once

struct SDL_Window;

// Gives the window the monogram tarvelin_render drew at build time as its
// icon (on X11 the _NET_WM_ICON a desktop shows); without one where it
// cannot be read.
void set_window_icon(SDL_Window* window);
