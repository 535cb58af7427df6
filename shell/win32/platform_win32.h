// The platform seam on Win32.
#pragma once

#include "shell/command_line.h"
#include "shell/platform.h"

const platform& win32_platform();

// Where --help, --version and bad options are written.
const command_line_output& win32_command_output();
