// Bitmap font from FreeType and fontconfig: 96 glBitmap display lists, as the Windows font call makes them.
#include "shell/freetype/font_freetype.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <vector>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"

namespace {

bool warned = false;

// Asks fontconfig for `request`; accepts the match when `accept` says so.
bool match_font(const char* request, bool (*accept)(FcPattern*, const char*), std::string& path,
                int& face_index, std::string& family)
{
    FcPattern* pattern = FcNameParse((const FcChar8*)request);
    if (!pattern) return false;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    int index = 0;
    bool found = false;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && accept(match, request)) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        path = (const char*)file;
        face_index = index;
        family = (const char*)name;
        found = true;
    }
    FcPatternDestroy(match);
    return found;
}

// The match is the family asked for (fontconfig substitutes freely otherwise).
bool same_family(FcPattern* match, const char* request)
{
    FcChar8* name = nullptr;
    for (int k = 0; FcPatternGetString(match, FC_FAMILY, k, &name) == FcResultMatch; ++k)
        if (strcasecmp((const char*)name, request) == 0) return true;
    return false;
}

bool monospaced(FcPattern* match, const char*)
{
    int spacing = FC_PROPORTIONAL;
    return FcPatternGetInteger(match, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_MONO;
}

// One glyph as glBitmap takes it: rows bottom first, the origin at the pen
// position on the baseline, the pen moved by the glyph's advance.
void rasterise_glyph(FT_Face face, int code, const glyph_sink& each)
{
    if (FT_Load_Char(face, (FT_ULong)code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int width = (int)bitmap.width;
    const int rows = (int)bitmap.rows;
    const int row_bytes = (width + 7) / 8;
    std::vector<GLubyte> bits((size_t)row_bytes * (size_t)rows + 1, 0);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
        for (int r = 0; r < rows; ++r) {
            const unsigned char* source = bitmap.buffer + (long)r * bitmap.pitch;
            std::memcpy(&bits[(size_t)(rows - 1 - r) * (size_t)row_bytes], source, (size_t)row_bytes);
        }
    }
    const GLfloat advance = (GLfloat)((slot->advance.x + 32) >> 6);
    each(code, width, rows, (GLfloat)-slot->bitmap_left, (GLfloat)(rows - slot->bitmap_top), advance, bits.data());
}

}  // namespace

bool find_font_file(std::string& path, int& face_index, std::string& family)
{
    static bool initialised = false;
    if (!initialised) {
        if (!FcInit()) return false;
        initialised = true;
    }
    return match_font("Courier New", same_family, path, face_index, family) ||
           match_font("Liberation Mono", same_family, path, face_index, family) ||
           match_font("monospace", monospaced, path, face_index, family);
}

bool rasterise_font(const char* path, int face_index, int pixel_height, const glyph_sink& each,
                    const std::function<void(int code)>& after)
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    FT_Face face = nullptr;
    bool made = false;
    if (FT_New_Face(library, path, face_index, &face) == 0) {
        // By character (em) height, not by cell height.
        if (FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixel_height) == 0) {
            for (int k = 0; k < FONT_CODE_COUNT; ++k) {
                rasterise_glyph(face, FONT_FIRST_CODE + k, each);
                if (after) after(FONT_FIRST_CODE + k);
            }
            made = true;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return made;
}

bool build_font_lists(unsigned int base, const char* path, int face_index, int pixel_height)
{
    push_glyph_unpacking();
    // Each code's list holds its glyph, or nothing where the face has none.
    bool open = false;
    const bool built = rasterise_font(
        path, face_index, pixel_height,
        [&open, base](int code, int width, int height, float xorig, float yorig, float xmove,
                      const unsigned char* bits) {
            glNewList(base + (GLuint)(code - FONT_FIRST_CODE), GL_COMPILE);
            open = true;
            glBitmap(width, height, xorig, yorig, xmove, 0, bits);
            keep_font_glyph(code, width, height, xorig, yorig, xmove, 0, bits);
        },
        [&open, base](int code) {
            if (!open) glNewList(base + (GLuint)(code - FONT_FIRST_CODE), GL_COMPILE);
            glEndList();
            open = false;
        });
    glPopClientAttrib();
    return built;
}

void make_freetype_font()
{
    world.font_base = glGenLists(FONT_CODE_COUNT);
    std::string path, family;
    int index = 0;
    const bool found = world.font_base != 0 && find_font_file(path, index, family) &&
                       build_font_lists(world.font_base, path.c_str(), index, font_pixel_height());
    // Without a font the lists stay empty and text simply does not appear.
    if (!found && !warned) {
        warned = true;
        std::fprintf(stderr, "tarvelin: no monospaced font found; text will not be shown\n");
    }
}

void free_freetype_font()
{
    if (world.font_base != 0) glDeleteLists(world.font_base, FONT_CODE_COUNT);
    world.font_base = 0;
}
