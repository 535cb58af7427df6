// The message loop shared by both Win32 programs.
#pragma once

// Dispatches messages and draws frames until `done` is set; F1 rebuilds the
// window with full screen inverted. Returns the process exit code: 0 when a
// rebuild failed or Escape ended the run, otherwise the quit message's code.
int run_message_loop(const char* title);
