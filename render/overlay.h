// Overlay primitives: the flat projection over the scene and bitmap text.
#pragma once

void begin_overlay();
// Draws printf-formatted text with its first character's origin at (x, y).
void print_text(float x, float y, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
