// The font interface: forwards to the front end's glyph source.
#include "render/font.h"

#include <cmath>

#include "common/world.h"
#include "render/picture_fit.h"

namespace {

font_source source = {nullptr, nullptr};
// The height the lists in use were built at.
int built_height = FONT_PIXEL_HEIGHT;

}  // namespace

void use_font_source(const font_source& chosen)
{
    source = chosen;
}

int font_pixel_height()
{
    const double scale = picture_scale();
    if (scale == 1.0) return FONT_PIXEL_HEIGHT;
    const int height = (int)std::lround(FONT_PIXEL_HEIGHT * scale);
    return height < 1 ? 1 : height;
}

void make_font()
{
    built_height = font_pixel_height();
    if (source.make) source.make();
}

void free_font()
{
    if (source.free) source.free();
}

void refresh_font_size()
{
    if (world.font_base == 0 || built_height == font_pixel_height()) return;
    free_font();
    make_font();
}
