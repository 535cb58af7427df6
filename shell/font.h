// The bitmap font: 96 display lists for codes 32 to 127, from font_base on.
// Implemented by the platform layer (GDI on Windows, FreeType elsewhere).
#pragma once

void make_font();
void free_font();
