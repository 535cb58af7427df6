// The fixed message boxes of the Win32 programs.
#pragma once

// The questions return MessageBoxA's answer (IDYES, IDNO, or 0 when no box
// could be shown).
// Start-up questions of the viewer.
int ask_fullscreen();
int ask_soft_mode();
// The full-screen mode was refused: Yes takes a window instead.
int ask_windowed_fallback();
// A creation failure: caption "ERROR", exclamation icon, OK.
void show_creation_error(const char* text);
// Declining the windowed fallback: caption "ERROR", stop icon, OK.
void show_program_will_close();
// A teardown failure: caption "SHUTDOWN ERROR", information icon, OK.
void show_shutdown_error(const char* text);
