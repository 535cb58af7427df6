// The files tarvelin_render writes: PNG images and the world dump (through shell/output_file.h).
#pragma once
#include <string>

#include "shell/output_file.h"

// An 8-bit image as a PNG file, rows top first, with `channels` bytes a
// pixel: 3 (RGB: frames, compressed fast) or 4 (RGBA, straight alpha:
// icons, compressed best).
bool write_png(const std::string& path, int width, int height, int channels, const unsigned char* pixels,
               std::string& error);

// The dump of the current world (scene/world_dump.h).
bool write_world_dump(const std::string& path, std::string& error);
