// The program's icon: the title's monogram on a black rounded tile, drawn by the title's own code.
#pragma once
#include <vector>

constexpr int ICON_MIN_SIZE = 16;
constexpr int ICON_MAX_SIZE = 512;

// Each icon pixel is the average of ICON_SUPERSAMPLE x ICON_SUPERSAMPLE
// samples, which gives the hard-edged polygons and the tile's corners
// smooth edges.
constexpr int ICON_SUPERSAMPLE = 8;

// Draws the samples of a size x size icon into the current context, whose
// framebuffer is a square of size x ICON_SUPERSAMPLE pixels in the state
// setup_gl gives it: the monogram with the title's camera and lighting,
// fully faded in, lit by the lamp as the world's start values set it
// (set_start_values); black elsewhere. The title's fade is left as it was.
void draw_icon_samples(int size);

// The icon as size x size RGBA pixels (straight alpha, rows top first) from
// its samples read back as RGB, rows top first: the monogram, on a black
// tile with rounded corners, transparent around it.
std::vector<unsigned char> icon_from_samples(int size, const std::vector<unsigned char>& samples);
