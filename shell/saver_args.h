// The screensaver's hosting arguments: the X screensaver conventions
// (--root, --window-id ID and $XSCREENSAVER_WINDOW) and Windows' screensaver
// command line (/s, /p HWND, /c[:HWND], /a).
#pragma once
#include <cstdint>
#include <string>

// ---- X: XScreenSaver, xsecurelock and their kin ----

// What the X arguments asked for, before $XSCREENSAVER_WINDOW is looked at.
struct saver_x_arguments {
    bool root = false;          // --root: draw on the screen's (virtual) root window
    bool window_given = false;  // --window-id ID
    unsigned long window = 0;
};

enum saver_argument_result {
    SAVER_ARGUMENT_TAKEN,  // it was a hosting argument; `index` moved past it (and its value)
    SAVER_ARGUMENT_OTHER,  // not a hosting argument: the caller's to judge
    SAVER_ARGUMENT_BAD,    // a hosting argument without a usable value; `error` says why
};

// Looks at argv[index]: --root, -root, --window-id ID, -window-id ID or
// --window-id=ID, with ID decimal or hexadecimal (0x...). On TAKEN, `index`
// is the last argument taken, as a caller's loop expects before its ++.
saver_argument_result take_saver_x_argument(int argc, const char* const* argv, int& index,
                                            saver_x_arguments& arguments, std::string& error);

// Where the saver draws: `hosted` false means in a window of its own, as
// when started by hand; `window` 0 with `hosted` means the root window.
struct saver_host {
    bool hosted = false;
    unsigned long window = 0;
};

// The host from the arguments and $XSCREENSAVER_WINDOW (`environment_window`,
// null when unset): --window-id first, then the variable (XScreenSaver sets
// it for --root, xsecurelock without arguments), then --root alone (the
// real root window). False with a one-line `error` when the variable is set
// but holds no window id.
bool resolve_saver_host(const saver_x_arguments& arguments, const char* environment_window,
                        saver_host& host, std::string& error);

// The whole argument list (without the program name) as hosting arguments:
// any other argument is an error.
bool parse_saver_host_arguments(int argc, const char* const* argv, const char* environment_window,
                                saver_host& host, std::string& error);

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
