// The font interface: forwards to the front end's glyph source.
#include "render/font.h"

namespace {

font_source source = {nullptr, nullptr};

}  // namespace

void use_font_source(const font_source& chosen)
{
    source = chosen;
}

void make_font()
{
    if (source.make) source.make();
}

void free_font()
{
    if (source.free) source.free();
}
