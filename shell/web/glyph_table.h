// The overlay font's glyphs, rasterised by the native build (tarvelin_glyphs) into a generated source file.
#pragma once
#include <cstddef>

#include "render/font.h"

// One glyph as glBitmap takes it; its rows start at BAKED_GLYPH_BITS[offset].
struct baked_glyph {
    bool present;  // false: the face has no glyph for the code (its list stays empty)
    int width, height;
    float xorig, yorig, xmove;
    size_t offset;
};
extern const baked_glyph BAKED_GLYPHS[FONT_CODE_COUNT];
extern const unsigned char BAKED_GLYPH_BITS[];
extern const char BAKED_FONT_FAMILY[];
