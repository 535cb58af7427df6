// SIGTERM, SIGINT and SIGHUP as a request to end the program: the loop sees
// it as a quit event at its next turn, a wait for the next frame ends at
// once, and a message box up at that moment ends the process.
#pragma once
#include <cstdint>

#include "shell/platform.h"

// The exit codes of a stop: 0 for SIGTERM and SIGINT (a request to end),
// 128 + 1 for SIGHUP (the terminal or the host went away), as a shell
// reports a hang-up.
constexpr int STOP_CODE_REQUESTED = 0;
constexpr int STOP_CODE_HANGUP = 129;

// Installs the handlers (again, when called again) and starts the thread
// that watches for a stop while a box is up. Called first thing in main,
// before anything that can show a message box.
void install_stop_signals();

// Whether a stop signal has arrived; `code` is then its exit code.
bool stop_requested(int& code);

// For a front end's poll_event: a stop that has arrived as the loop's quit
// event, with the stop's code; false while none has.
bool stop_event(platform_event& event);

// A descriptor that becomes readable when a stop signal arrives, for a
// wait that must end with it; -1 before install_stop_signals.
int stop_wake_fd();

// Waits until system_now_ns() reads at least `deadline_ns`, a stop signal
// arrives or `fd` (unless -1) has something to read, whichever comes first;
// false when it ended early.
bool wait_until_stop_or_input(int64_t deadline_ns, int fd);

// Brackets a message box that blocks the thread (SDL's boxes run their own
// loop): a stop that arrives while it is up, or that arrived before it was
// shown, ends the process at once with the stop's code, and with it the
// child process SDL shows the box from. No box is ever shown while the
// display mode is changed (the program leaves the mode before any box), so
// there is no mode to restore. A stop that came while the box was up also
// ends the process when the box comes back.
void begin_blocking_box();
void end_blocking_box();

// Forgets a stop that has arrived and drains the wake descriptor, so that
// the tests of the handlers can raise one signal after another.
void forget_stop();
