// The bitmap font on Windows: GDI's "Courier New" turned into display lists by WGL.
#include <windows.h>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "shell/win32/window.h"

namespace {

constexpr int FIRST_CHARACTER = 32;
constexpr int CHARACTER_COUNT = 96;

}  // namespace

void make_gdi_font()
{
    world.font_base = glGenLists(CHARACTER_COUNT);
    // A negative height selects by character height, not cell height.
    win32.font = CreateFontA(-font_pixel_height(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "Courier New");
    // It stays selected for the life of the window's own device context.
    win32.font_replaced = SelectObject(win32.device_context, win32.font);
    wglUseFontBitmapsA(win32.device_context, FIRST_CHARACTER, CHARACTER_COUNT, world.font_base);
}

void free_gdi_font()
{
    if (world.font_base != 0) glDeleteLists(world.font_base, CHARACTER_COUNT);
    world.font_base = 0;
    // Each window makes a new GDI font, so the old one goes with its window.
    if (win32.font != NULL) {
        if (win32.device_context != NULL && win32.font_replaced != NULL)
            SelectObject(win32.device_context, win32.font_replaced);
        DeleteObject(win32.font);
    }
    win32.font = NULL;
    win32.font_replaced = NULL;
}
