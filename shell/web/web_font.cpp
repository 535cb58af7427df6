// The bitmap font's glyphs in the page: the native build's glyphs, put into lists as the FreeType source does.
#include "shell/web/web_font.h"

#include "common/gl.h"
#include "common/world.h"
#include "shell/web/glyph_table.h"

namespace {

void make_web_font()
{
    world.font_base = glGenLists(FONT_CODE_COUNT);
    if (world.font_base == 0) return;
    push_glyph_unpacking();
    for (int k = 0; k < FONT_CODE_COUNT; ++k) {
        const baked_glyph& g = BAKED_GLYPHS[k];
        glNewList(world.font_base + (GLuint)k, GL_COMPILE);
        if (g.present) {
            const unsigned char* bits = BAKED_GLYPH_BITS + g.offset;
            glBitmap(g.width, g.height, g.xorig, g.yorig, g.xmove, 0, bits);
            keep_font_glyph(FONT_FIRST_CODE + k, g.width, g.height, g.xorig, g.yorig, g.xmove, 0, bits);
        }
        glEndList();
    }
    glPopClientAttrib();
}

void free_web_font()
{
    if (world.font_base != 0) glDeleteLists(world.font_base, FONT_CODE_COUNT);
    world.font_base = 0;
}

}  // namespace

const font_source web_font = {make_web_font, free_web_font};
