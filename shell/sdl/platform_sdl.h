// The platform seam on SDL2.
#pragma once

#include "shell/platform.h"

const platform& sdl_platform();

// Shows the box of `id` (shell/sdl/message_box.cpp).
message_answer sdl_message_box(message_id id);
