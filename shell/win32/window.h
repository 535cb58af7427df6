// The Win32 window and its WGL rendering context: the window half of the platform seam.
#pragma once
#include <windows.h>

#include "shell/platform.h"

constexpr const char* WINDOW_CLASS_NAME = "OpenGL";

// Handles of the current window; each is null when it does not exist.
struct win32_window_state {
    HINSTANCE instance;               // GetModuleHandleA(NULL), fetched by every open_display
    HWND window;
    HDC device_context;               // the class has its own DC
    HGLRC render_context;
    HFONT font;                       // the GDI font behind the bitmap font
    HGDIOBJ font_replaced;            // what the font replaced in the DC
    window_kind kind;                 // where the current window was placed
    HWND host;                        // the parent of a window in a host
    bool cursor_hidden;               // a window over the desktop hides the cursor
    bool closing;                     // win32_close_window is destroying the window
    bool destroyed;                   // the window went with its host
};

extern win32_window_state win32;

bool win32_open_display(message_id& failure);
bool win32_enter_display_mode(int width, int height, int colour_bits);
void win32_leave_display_mode();
bool win32_open_window(const window_request& request, message_id& failure);
bool win32_has_context();
void win32_close_window();
void win32_swap_buffers();

// Turns the window's messages into platform events (shell/win32/platform_win32.cpp).
LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Shows the box of `id` with MessageBoxA; `owner` (or none) owns it
// (shell/win32/platform_win32.cpp).
message_answer win32_message_box_owned(message_id id, HWND owner);

// The GDI glyph source for render/font.h ("Courier New" by wglUseFontBitmapsA).
void make_gdi_font();
void free_gdi_font();
