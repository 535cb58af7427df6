// The window and its OpenGL context on SDL2: the window half of the platform seam.
#pragma once

#include "shell/platform.h"

bool sdl_open_display(message_id& failure);
bool sdl_enter_display_mode(int width, int height, int colour_bits);
void sdl_leave_display_mode();
bool sdl_open_window(const window_request& request, message_id& failure);
bool sdl_has_context();
void sdl_close_window();
void sdl_swap_buffers();

// Shows the box of `id`; in shell/sdl/message_box.cpp.
message_answer sdl_message_box(message_id id);

// The open window's SDL id and flags, 0 when there is none.
unsigned int open_window_id();
unsigned int open_window_flags();
