// PNG files of rendered frames, through libpng.
#pragma once
#include <string>

// Writes an 8-bit RGB image, rows top first, to `path` as an output_file
// (shell/headless/output_file.h): an earlier file of that name is replaced
// only by a complete image. On failure returns false with a one-line message
// in `error`, the earlier file as it was and no temporary file left.
bool write_png_rgb(const char* path, int width, int height, const unsigned char* rgb, std::string& error);

// Writes an 8-bit RGBA image (straight, not premultiplied alpha), rows top first.
bool write_png_rgba(const char* path, int width, int height, const unsigned char* rgba, std::string& error);

// Reads an 8-bit RGB or RGBA PNG file (tests and tools); rows top first, 3 bytes a pixel.
bool read_png_rgb(const char* path, int& width, int& height, std::string& rgb, std::string& error);
// The same with 4 bytes a pixel; a file without alpha reads as opaque.
bool read_png_rgba(const char* path, int& width, int& height, std::string& rgba, std::string& error);
