// Test helper: PNG files read back, as 8-bit RGB or RGBA.
#pragma once
#include <string>

// Reads an 8- or 16-bit PNG file of any colour type as 8-bit pixels with
// `channels` bytes each: 3 (RGB, alpha dropped) or 4 (RGBA, opaque where the
// file has no alpha); rows top first. False with a message in `error`.
bool read_png(const std::string& path, int channels, int& width, int& height, std::string& pixels,
              std::string& error);
