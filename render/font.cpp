// The font interface: forwards to the front end's glyph source.
#include "render/font.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "common/gl.h"
#include "common/world.h"

namespace {

font_source source = {nullptr, nullptr};
// The height the lists in use were built at, and the picture's scale.
int built_height = FONT_PIXEL_HEIGHT;
double font_scale = 1.0;

struct kept_glyph {
    bool present = false;
    font_glyph glyph{};
    std::vector<unsigned char> bits;
};
kept_glyph kept[FONT_CODE_COUNT];
bool any_kept = false;

void forget_glyphs()
{
    for (kept_glyph& k : kept) {
        k.present = false;
        k.bits.clear();
    }
    any_kept = false;
}

}  // namespace

void keep_font_glyph(int code, int width, int height, float xorig, float yorig, float xmove, float ymove,
                     const unsigned char* bits)
{
    const int k = code - FONT_FIRST_CODE;
    if (k < 0 || k >= FONT_CODE_COUNT || width < 0 || height < 0) return;
    kept_glyph& g = kept[k];
    const size_t size = (size_t)((width + 7) / 8) * (size_t)height;
    g.bits.assign(bits, bits + size);
    g.bits.push_back(0);  // never empty, so the pointer is always valid
    g.glyph = {width, height, xorig, yorig, xmove, ymove, g.bits.data()};
    g.present = true;
    any_kept = true;
}

bool font_glyphs_kept()
{
    return any_kept;
}

const font_glyph* kept_font_glyph(int code)
{
    const int k = code - FONT_FIRST_CODE;
    if (k < 0 || k >= FONT_CODE_COUNT || !kept[k].present) return nullptr;
    return &kept[k].glyph;
}

void push_glyph_unpacking()
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
}

void use_font_source(const font_source& chosen)
{
    source = chosen;
}

int font_pixel_height()
{
    if (font_scale == 1.0) return FONT_PIXEL_HEIGHT;
    const int height = (int)std::lround(FONT_PIXEL_HEIGHT * font_scale);
    return height < 1 ? 1 : height;
}

void set_font_scale(double scale)
{
    font_scale = scale;
}

void make_font()
{
    built_height = font_pixel_height();
    forget_glyphs();
    if (source.make) source.make();
}

void free_font()
{
    if (source.free) source.free();
    forget_glyphs();
}

void refresh_font_size()
{
    if (world.font_base == 0 || built_height == font_pixel_height()) return;
    free_font();
    make_font();
}
