// The Win32 window and its WGL rendering context.
#pragma once
#include <windows.h>

// The caption of the one window, in both programs.
constexpr const char* WINDOW_TITLE = "OpenGL WinAPI template by Orvandel";
constexpr const char* WINDOW_CLASS_NAME = "OpenGL";

// Handles of the current window; each is null when it does not exist.
struct win32_window_state {
    HINSTANCE instance;               // GetModuleHandleA(NULL), fetched by every open_window
    HWND window;
    HDC device_context;               // the class has its own DC
    HGLRC render_context;
    PIXELFORMATDESCRIPTOR pixel_format;  // filled on the first open_window, reused afterwards
    bool pixel_format_filled;
    HFONT font;                       // the GDI font behind the bitmap font
    HGDIOBJ font_replaced;            // what the font replaced in the DC
};

extern win32_window_state win32;

// Creates the window and its context, sets the initial GL state and the font.
// False after a message has been shown; the entry then ends the process.
bool open_window(const char* title, int width, int height, int colour_bits, bool fullscreen_wanted);
// Releases what open_window made; shows a message for each step that fails.
void close_window();
LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The GDI glyph source for render/font.h ("Courier New" by wglUseFontBitmapsA).
void make_gdi_font();
void free_gdi_font();
