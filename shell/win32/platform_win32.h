// The platform seam on Win32.
#pragma once

#include "shell/platform.h"

const platform& win32_platform();
