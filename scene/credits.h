// Credit line: the red line of text each frame driver prints over the scene.
#pragma once

// Where the credit line starts: (440, 10) in the large layout, (160, 10) in the small one.
void credit_line_position(bool large_layout, float& x, float& y);

// The line's printf format; it is printed with one empty string argument.
const char* credit_line_format(bool saver);

// Sets the colour to red and prints the credit line of the interactive
// program or of the screensaver build.
void draw_credit_line(bool saver, bool large_layout);
