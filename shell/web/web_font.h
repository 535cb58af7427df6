// The bitmap font's glyphs in the page.
#pragma once
#include "render/font.h"

extern const font_source web_font;
