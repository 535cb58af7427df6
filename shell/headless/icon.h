// The program's icon: the title's monogram on a black rounded tile, drawn by the title's own code.
#pragma once
#include <string>
#include <vector>

constexpr int ICON_MIN_SIZE = 16;
constexpr int ICON_MAX_SIZE = 512;

// Renders the icon as size x size RGBA pixels (straight alpha, rows top
// first), lit by the lamp as the world's start values set it (set_start_values),
// in an offscreen context of its own: a context still open is closed first,
// with its lists, and the icon's is closed before returning. On failure (a size outside ICON_MIN_SIZE..ICON_MAX_SIZE, no
// context) returns false with a one-line message in `error`.
bool render_icon(int size, std::vector<unsigned char>& rgba, std::string& error);
