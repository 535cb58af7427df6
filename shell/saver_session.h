// The screensaver run by a host: in another program's window (an X
// screensaver framework, the preview of Windows' screensaver settings) or
// over the whole desktop (Windows starting its screensaver), with the
// picture fitted to whatever size that is.
#pragma once
#include <cstdint>
#include <string>

#include "shell/platform.h"
#include "shell/program.h"

// How far the pointer may drift over the desktop-wide window, in pixels
// along either axis, before the screensaver ends.
constexpr int POINTER_MOVE_TOLERANCE = 4;

// What an input event means to the loop with the window placed as `kind`.
enum input_effect {
    INPUT_APPLIES,       // the loop handles it as usual
    INPUT_IGNORED,       // it means nothing here
    INPUT_ENDS_PROGRAM,  // the screensaver ends with code 0
};

// In a window of its own, everything applies (pointer events mean nothing
// to the loop). Over the desktop, as Windows screensavers do, any key, any
// button and a pointer that has moved more than POINTER_MOVE_TOLERANCE from
// where it was first seen end the program. In a host's window the keys
// belong to the host and are ignored.
input_effect input_effect_of(const platform_event& event, window_kind kind);

// Sets the world of a screensaver session up after start_program: no
// display-mode change, the picture fitted, windows placed as `kind` in
// `host`, the pointer not yet seen.
void enter_saver_session(window_kind kind, uintptr_t host);

// The windows of the session entered last (run_windows). In a host's window
// no message box is ever shown: a message goes to standard error as one
// line, and a window that cannot be made ends the program with code 1.
// Otherwise the exit code is the loop's.
int run_session_windows(const platform& p, const program_scene& scene);

// The screensaver in a session: start_program, enter_saver_session and
// run_session_windows with the lake.
int run_saver_session(const platform& p, window_kind kind, uintptr_t host);

// The line a message makes on standard error: "tarvelin_saver: CAPTION:
// TEXT", its line breaks turned into spaces.
std::string message_line(message_id id);

// A message box where none may be shown: writes the message's line to
// standard error and answers ANSWER_NONE. A session in a host's window
// that wrote one ends with code 1.
message_answer write_message_line(message_id id);
