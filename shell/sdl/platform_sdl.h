// The platform seam on SDL2.
#pragma once

#include "shell/platform.h"

const platform& sdl_platform();
