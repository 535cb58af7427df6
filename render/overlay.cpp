// Overlay primitives: the flat pixel projection over the scene and bitmap text through the font's lists.
#include "render/overlay.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "render/picture_fit.h"

void begin_overlay()
{
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    int width, height;
    overlay_extent(width, height);
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void print_text(float x, float y, const char* format, ...)
{
    if (!format) return;
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    // Longer text is cut at 255 characters rather than written past the buffer.
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    if (world.font_base != 0 && font_glyphs_kept()) {
        // The lists' glyphs sent directly: the same bitmaps from the same
        // raster position, unpacked as they were for the lists. Bytes
        // outside the font have no glyph and draw nothing.
        glRasterPos2f(x, y);
        push_glyph_unpacking();
        for (const unsigned char* c = (const unsigned char*)text; *c; ++c) {
            const font_glyph* g = kept_font_glyph(*c);
            if (g) glBitmap(g->width, g->height, g->xorig, g->yorig, g->xmove, g->ymove, g->bits);
        }
        glPopClientAttrib();
        return;
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(world.font_base - 32);
    glRasterPos2f(x, y);
    // Without a font there are no lists to call, and names near 0 may belong
    // to other lists of the context.
    if (world.font_base != 0) glCallLists((GLsizei)std::strlen(text), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
