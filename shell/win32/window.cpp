// The Win32 window: class, display mode, WGL context, the GDI font and teardown.
#include "shell/win32/window.h"

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "shell/event_queue.h"
#include "shell/program.h"

win32_window_state win32;

namespace {

bool register_window_class()
{
    WNDCLASSA window_class = {};  // no extra bytes, background, or menu
    window_class.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = win32.instance;
    // The program's own icon (resource 1), else the system's.
    window_class.hIcon = LoadIconA(win32.instance, MAKEINTRESOURCEA(1));
    if (window_class.hIcon == NULL) window_class.hIcon = LoadIcon(NULL, IDI_WINLOGO);
    window_class.hCursor = LoadCursor(NULL, IDC_ARROW);
    window_class.lpszClassName = WINDOW_CLASS_NAME;
    return RegisterClassA(&window_class) != 0;
}

PIXELFORMATDESCRIPTOR pixel_format(int colour_bits)
{
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = (BYTE)colour_bits;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

// The window itself, placed as the request says; NULL on failure.
HWND create_placed_window(const window_request& request, message_id& failure)
{
    win32.kind = request.kind;
    win32.host = NULL;
    win32.closing = win32.destroyed = false;
    DWORD ex_style = WS_EX_APPWINDOW, style = WS_POPUP;
    int x = 0, y = 0;
    RECT size = {0, 0, request.width, request.height};  // the outer size
    switch (request.kind) {
    case WINDOW_OVER_DESKTOP:
        // Every monitor, as they are: the display mode stays the desktop's.
        ex_style |= WS_EX_TOPMOST;
        x = GetSystemMetrics(SM_XVIRTUALSCREEN);
        y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        size.right = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        size.bottom = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        ShowCursor(FALSE);
        win32.cursor_hidden = true;
        break;
    case WINDOW_IN_HOST: {
        // A child filling the host's client area, which it follows until the
        // host goes away.
        const HWND parent = (HWND)request.host;
        failure = MESSAGE_NO_HOST_WINDOW;
        if (parent == NULL || !IsWindow(parent) || !GetClientRect(parent, &size)) return NULL;
        win32.host = parent;
        ex_style = 0;
        style = WS_CHILD;
        break;
    }
    case WINDOW_OWN:
        if (request.fullscreen) {
            ShowCursor(FALSE);
            // At the desktop's own resolution: the primary monitor, its mode as it is.
            if (request.desktop) size = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        } else {
            ex_style |= WS_EX_WINDOWEDGE;
            style = WS_OVERLAPPEDWINDOW;
        }
        AdjustWindowRectEx(&size, style, FALSE, ex_style);
        break;
    }
    failure = MESSAGE_WINDOW_CREATION_ERROR;
    return CreateWindowExA(ex_style, WINDOW_CLASS_NAME, request.title,
                           style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, size.right - size.left,
                           size.bottom - size.top, win32.host, NULL, win32.instance, NULL);
}

}  // namespace

bool win32_open_display(message_id& failure)
{
    win32.instance = GetModuleHandleA(NULL);
    failure = MESSAGE_DISPLAY_SETUP_FAILED;
    return register_window_class();
}

bool win32_enter_display_mode(int width, int height, int colour_bits)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = (DWORD)width;
    mode.dmPelsHeight = (DWORD)height;
    mode.dmBitsPerPel = (DWORD)colour_bits;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

void win32_leave_display_mode()
{
    ChangeDisplaySettingsA(NULL, 0);
    ShowCursor(TRUE);
}

bool win32_open_window(const window_request& request, message_id& failure)
{
    win32.window = create_placed_window(request, failure);
    if (win32.window == NULL) return false;

    const PIXELFORMATDESCRIPTOR pfd = pixel_format(request.colour_bits);
    win32.device_context = GetDC(win32.window);
    failure = MESSAGE_NO_DRAWING_SURFACE;
    if (win32.device_context == NULL) return false;
    const int format = ChoosePixelFormat(win32.device_context, &pfd);
    failure = MESSAGE_NO_PIXEL_FORMAT;
    if (format == 0) return false;
    failure = MESSAGE_PIXEL_FORMAT_REFUSED;
    if (!SetPixelFormat(win32.device_context, format, &pfd)) return false;
    win32.render_context = wglCreateContext(win32.device_context);
    failure = MESSAGE_NO_RENDERING_CONTEXT;
    if (win32.render_context == NULL) return false;
    failure = MESSAGE_ACTIVATE_CONTEXT_FAILED;
    if (!wglMakeCurrent(win32.device_context, win32.render_context)) return false;

    ShowWindow(win32.window, SW_SHOW);
    // A preview is part of the host's dialog, which keeps the focus.
    if (win32.kind != WINDOW_IN_HOST) {
        SetForegroundWindow(win32.window);
        SetFocus(win32.window);
    }
    // A window over the desktop or in a host has the size it was given: the
    // loop learns it from a resize event before the first frame.
    RECT client;
    if (request.kind != WINDOW_OWN && GetClientRect(win32.window, &client))
        push_event(resize_event(client.right - client.left, client.bottom - client.top));
    return true;
}

bool win32_has_context()
{
    return win32.render_context != NULL;
}

void win32_close_window()
{
    const bool went_with_host = win32.destroyed;
    if (win32.render_context != NULL) {
        if (!wglMakeCurrent(NULL, NULL)) report_close_failure(MESSAGE_CONTEXT_NOT_RELEASED);
        if (!wglDeleteContext(win32.render_context)) report_close_failure(MESSAGE_CONTEXT_NOT_DELETED);
        win32.render_context = NULL;
    }

    // A window that went with its host took its device context along.
    if (went_with_host) win32.device_context = NULL;

    // Every handle is forgotten once released (or once its release failed),
    // so a later failure never tries to release a stale one.
    if (win32.device_context != NULL) {
        if (!ReleaseDC(win32.window, win32.device_context))
            report_close_failure(MESSAGE_SURFACE_NOT_RELEASED);
        win32.device_context = NULL;
    }

    if (win32.window != NULL && !went_with_host) {
        win32.closing = true;
        if (!DestroyWindow(win32.window)) report_close_failure(MESSAGE_WINDOW_NOT_DESTROYED);
        win32.closing = false;
    }
    win32.window = NULL;
    win32.destroyed = false;

    if (win32.cursor_hidden) {
        ShowCursor(TRUE);
        win32.cursor_hidden = false;
    }

    // A window that went with its host may still be on its way out (its
    // host's side takes it down), and its class cannot be unregistered while
    // it is there: the class goes with the process, which the preview ends.
    if (!went_with_host && !UnregisterClassA(WINDOW_CLASS_NAME, win32.instance))
        report_close_failure(MESSAGE_DISPLAY_NOT_CLOSED);
    win32.instance = NULL;
    // Events the window made while closing mean nothing to the next one.
    forget_events();
}

void win32_swap_buffers()
{
    SwapBuffers(win32.device_context);
}

// The bitmap font: GDI's "Courier New" turned into display lists by WGL.
void make_gdi_font()
{
    world.font_base = glGenLists(FONT_CODE_COUNT);
    // A negative height selects by character height, not cell height. Where
    // Courier New is missing (Wine), a fixed-pitch face stands in for it: a
    // proportional one has blanks half as wide, and words run together.
    win32.font = CreateFontA(-font_pixel_height(), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN,
                             "Courier New");
    // It stays selected for the life of the window's own device context.
    win32.font_replaced = SelectObject(win32.device_context, win32.font);
    wglUseFontBitmapsA(win32.device_context, FONT_FIRST_CODE, FONT_CODE_COUNT, world.font_base);
    // The blank (the first list) moves on by the font's own advance: Wine's
    // wglUseFontBitmapsA leaves its list empty, which ran words together.
    SIZE blank = {};
    static const GLubyte no_ink[4] = {0, 0, 0, 0};
    if (!GetTextExtentPoint32A(win32.device_context, " ", 1, &blank)) return;
    glNewList(world.font_base, GL_COMPILE);
    glBitmap(1, 1, 0, 0, (GLfloat)blank.cx, 0, no_ink);
    glEndList();
}

void free_gdi_font()
{
    if (world.font_base != 0) glDeleteLists(world.font_base, FONT_CODE_COUNT);
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
