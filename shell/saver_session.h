// The screensaver run by a host: in another program's window (an X
// screensaver framework, the preview of Windows' screensaver settings) or
// over the whole desktop (Windows starting its screensaver), with the
// picture fitted to whatever size that is.
#pragma once
#include <cstdint>
#include <string>

#include "shell/platform.h"
#include "shell/program.h"

// Sets the world of a screensaver session up after start_program: no
// display-mode change, the picture fitted, windows placed as `kind` in
// `host` (apply_platform_event has what input means there).
void enter_saver_session(window_kind kind, uintptr_t host);

// The windows of the session entered last (run_windows). In a host's window
// no message box is ever shown: every message, a failure to open or to
// close included, goes to standard error as one line, and a session that
// wrote one ends with code 1. Otherwise the exit code is the loop's.
int run_session_windows(const platform& p, const program_scene& scene);

// The screensaver in a session: start_program, enter_saver_session and
// run_session_windows with the lake, the picture as `options` say.
int run_saver_session(const platform& p, window_kind kind, uintptr_t host,
                      const program_options& options = program_options());

// The line a message makes on standard error: "tarvelin_saver: CAPTION:
// TEXT", its line breaks turned into spaces.
std::string message_line(message_id id);

// A message box where none may be shown: writes the message's line to
// standard error and answers ANSWER_NOT_SHOWN.
message_answer write_message_line(message_id id);
