// The bitmap font: 96 display lists for codes 32 to 127, from font_base on.
// The glyphs come from the front end (GDI on Windows, FreeType elsewhere),
// which hands its two functions over with use_font_source before the first
// context opens.
#pragma once

struct font_source {
    void (*make)();  // fills world.font_base with the lists at font_pixel_height(), in the current context
    void (*free)();  // deletes them and clears world.font_base
};

// The glyphs' character height in pixels in a frame's own pixels.
constexpr int FONT_PIXEL_HEIGHT = 10;

// The character height for the window now open: FONT_PIXEL_HEIGHT, scaled
// with the picture text is drawn in, and never below 1.
int font_pixel_height();
// The scale of that picture against the frame: 1 unless the picture is
// fitted to its window (render/picture_fit.h sets it).
void set_font_scale(double scale);

void use_font_source(const font_source& source);

// Builds the lists with the source in use (none: font_base stays 0 and text
// draws nothing).
void make_font();
// Deletes the lists of the current context, if any.
void free_font();
// Builds the lists again when font_pixel_height() differs from the height
// they were built at; nothing when there are none.
void refresh_font_size();

// Copies of the lists' glyphs, kept by a source that has them at hand while
// it builds the lists (the FreeType one does). The GL draws a bitmap sent
// directly far faster than one kept in a display list, so with them text is
// drawn glyph by glyph with glBitmap, the same bitmaps at the same raster
// positions; without them (no source keeps any) it goes through the lists.
constexpr int FONT_FIRST_CODE = 32;
constexpr int FONT_CODE_COUNT = 96;
struct font_glyph {
    int width, height;                 // as glBitmap takes them
    float xorig, yorig, xmove, ymove;
    const unsigned char* bits;         // rows bottom first, each a whole number of bytes
};
// Keeps a copy of the glyph of `code` (FONT_FIRST_CODE on) as just put into its list.
void keep_font_glyph(int code, int width, int height, float xorig, float yorig, float xmove, float ymove,
                     const unsigned char* bits);
// Whether the glyphs of the current font are kept (at least one was).
bool font_glyphs_kept();
// The kept glyph of `code`, or null (no glyph: its list is empty).
const font_glyph* kept_font_glyph(int code);

// Saves the client pixel-store state and sets the unpacking the glyph bitmaps
// are made for: byte-aligned rows, tightly packed, most significant bit first.
// Both building the lists and drawing kept glyphs unpack this way; restore
// with glPopClientAttrib.
void push_glyph_unpacking();
