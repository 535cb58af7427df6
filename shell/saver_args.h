// The screensaver's command-line check: Windows starts a screensaver with
// /s to run, /c to configure and /p <window> to preview.
#pragma once

// True when the command line (without the program name) asks for the
// settings dialog (/c) or the preview (/p), in either case and with '/' or
// '-': the screensaver then ends at once. /s, an empty or null line and
// anything else mean run.
bool saver_exits_at_once(const char* command_line);
