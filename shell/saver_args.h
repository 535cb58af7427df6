// The screensaver's hosting arguments: the X screensaver conventions
// (--root, --window-id ID and $XSCREENSAVER_WINDOW) and Windows' screensaver
// command line (/s, /p HWND, /c[:HWND], /a) and the settings it keeps.
#pragma once
#include <cstdint>
#include <string>

#include "render/design_frame.h"

// ---- X: XScreenSaver, xsecurelock and their kin ----

// Where the saver draws: `hosted` false means in a window of its own, as
// when started by hand; `window` 0 with `hosted` means the root window.
struct saver_host {
    bool hosted = false;
    unsigned long window = 0;
};

enum saver_host_result {
    SAVER_HOST_FOUND,       // `host` holds where to draw
    SAVER_HOST_NOT_OPTION,  // an argument is not a hosting argument
    SAVER_HOST_BAD_VALUE,   // a window id is missing or is none
};

// The whole argument list (without the program name) as hosting arguments:
// --root, -root, --window-id ID, -window-id ID or --window-id=ID, with ID
// decimal or hexadecimal (0x...), the later of two ids holding. The host is
// --window-id's window, else $XSCREENSAVER_WINDOW's (`environment_window`,
// null when unset; XScreenSaver sets it for --root, xsecurelock without
// arguments), else with --root alone the real root window. On a failure,
// `error` says why in one line.
saver_host_result parse_saver_host_arguments(int argc, const char* const* argv,
                                             const char* environment_window, saver_host& host,
                                             std::string& error);

// A window id, decimal or hexadecimal with 0x, from 1 to 0xFFFFFFFF; false
// for anything else (empty, signs, spaces, other text, zero, too large).
bool parse_window_id(const char* text, unsigned long& window);

// ---- Windows: the screensaver command line ----

enum windows_saver_mode {
    SAVER_AS_PROGRAM,   // no switch: the program as started by hand
    SAVER_SCREEN,       // /s: over every monitor until input
    SAVER_PREVIEW,      // /p HWND: inside the settings' preview window
    SAVER_SETTINGS,     // /c or /c:HWND: the settings box, owned by HWND when given
    SAVER_PASSWORD,     // /a: set a password (nothing to do)
    SAVER_BAD_COMMAND,  // anything else; `error` says what
};

struct windows_saver_command {
    windows_saver_mode mode = SAVER_AS_PROGRAM;
    uintptr_t window = 0;  // the HWND of /p and /c:HWND; 0 when none was given
    std::string error;
};

// The first word of the command line (without the program name) is the
// switch, in either case and with '/' or '-', possibly quoted; its window
// follows after a colon or blanks. Later words are ignored.
windows_saver_command parse_windows_saver_command(const char* command_line);

// ---- Windows: the settings kept per user ----

// The choices of the settings dialog, kept as REG_DWORD values under
// HKEY_CURRENT_USER\Software\Tarvelin\Screensaver: "Resolution" (0
// automatic, 1 the design size, 2 the window's size) and "ShowFrameRate" (0
// or 1). A value that is missing, or one no dialog writes, reads as the
// default: automatic, no frame rate.
constexpr const char* SAVER_SETTINGS_KEY = "Software\\Tarvelin\\Screensaver";
constexpr const char* SAVER_SETTING_RESOLUTION = "Resolution";
constexpr const char* SAVER_SETTING_FRAME_RATE = "ShowFrameRate";

// `value` is null for a value that is missing or not a REG_DWORD.
picture_resolution stored_picture_resolution(const uint32_t* value);
bool stored_frame_rate(const uint32_t* value);
uint32_t picture_resolution_to_store(picture_resolution resolution);
