// The screensaver's settings on Windows: the dialog of /c and the choices it
// keeps per user in the registry (shell/saver_args.h has where and how).
#pragma once

// Control ids, shared with the dialog template in saver_settings.rc.
#define IDD_SAVER_SETTINGS 100
#define IDC_SAVER_DESCRIPTION 101
#define IDC_RESOLUTION_AUTO 102
#define IDC_RESOLUTION_DESIGN 103
#define IDC_RESOLUTION_WINDOW 104
#define IDC_FRAME_RATE 105

#ifndef RC_INVOKED
#include <windows.h>

#include "shell/program.h"

// The stored choices as the options of a run; the defaults where nothing,
// or nothing the dialog writes, is stored.
program_options read_saver_settings();

// Shows the settings dialog, owned by `owner` (or none), until OK or Cancel.
// OK stores the choices. Returns the exit code: 0, or 1 when the dialog
// could not be shown or the choices could not be stored (a box says so).
int run_saver_settings(HWND owner);
#endif
