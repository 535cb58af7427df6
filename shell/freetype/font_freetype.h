// The FreeType bitmap font: how its typeface is found and turned into display lists.
#pragma once
#include <functional>
#include <string>

#include "render/font.h"

// The font file for the overlay text: "Courier New", else Liberation Mono
// (the same metrics), else any monospaced face fontconfig knows. Returns false
// when there is none.
bool find_font_file(std::string& path, int& face_index, std::string& family);

// Takes one glyph as glBitmap takes it: its code, width and height in
// pixels, origin, advance, and the rows bottom first, each a whole number of
// bytes, most significant bit first.
using glyph_sink = std::function<void(int code, int width, int height, float xorig, float yorig, float xmove,
                                      const unsigned char* bits)>;
// Rasterises codes 32 to 127 of the face at a character height of
// `pixel_height` pixels, handing each glyph the face has to `each` and then,
// for every code, calling `after` (when given). No GL call. False when the
// file cannot be read as a font.
bool rasterise_font(const char* path, int face_index, int pixel_height, const glyph_sink& each,
                    const std::function<void(int code)>& after = nullptr);

// Fills the 96 lists from `base` on with 1-bit glBitmap glyphs of codes 32 to
// 127 from the face, at a character height of `pixel_height` pixels
// (FONT_PIXEL_HEIGHT unless a fitted picture scales it).
// Returns false (lists left empty) when the file cannot be read as a font.
bool build_font_lists(unsigned int base, const char* path, int face_index,
                      int pixel_height = FONT_PIXEL_HEIGHT);

// The glyph source for render/font.h: fills world.font_base with the lists
// at font_pixel_height()
// (empty when no font is found), and deletes them.
void make_freetype_font();
void free_freetype_font();
