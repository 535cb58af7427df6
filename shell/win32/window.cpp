// The Win32 window: class, display mode, WGL context and teardown.
#include "shell/win32/window.h"

#include <cstring>

#include "shell/event_queue.h"
#include "shell/program.h"

win32_window_state win32;

namespace {

bool register_window_class()
{
    WNDCLASSA window_class;
    std::memset(&window_class, 0, sizeof window_class);
    window_class.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    window_class.lpfnWndProc = window_proc;
    window_class.cbClsExtra = 0;
    window_class.cbWndExtra = 0;
    window_class.hInstance = win32.instance;
    // The program's own icon (resource 1), else the system's.
    window_class.hIcon = LoadIconA(win32.instance, MAKEINTRESOURCEA(1));
    if (window_class.hIcon == NULL) window_class.hIcon = LoadIcon(NULL, IDI_WINLOGO);
    window_class.hCursor = LoadCursor(NULL, IDC_ARROW);
    window_class.hbrBackground = NULL;
    window_class.lpszMenuName = NULL;
    window_class.lpszClassName = WINDOW_CLASS_NAME;
    return RegisterClassA(&window_class) != 0;
}

void fill_pixel_format(int colour_bits)
{
    PIXELFORMATDESCRIPTOR& pfd = win32.pixel_format;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = (BYTE)colour_bits;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    win32.pixel_format_filled = true;
}

// The window itself, placed as the request says; NULL on failure.
HWND create_placed_window(const window_request& request, message_id& failure)
{
    failure = MESSAGE_WINDOW_CREATION_ERROR;
    win32.kind = request.kind;
    win32.host = NULL;
    win32.closing = win32.destroyed = false;
    switch (request.kind) {
    case WINDOW_OVER_DESKTOP: {
        // Every monitor, as they are: the display mode stays the desktop's.
        const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        ShowCursor(FALSE);
        win32.cursor_hidden = true;
        return CreateWindowExA(WS_EX_TOPMOST | WS_EX_APPWINDOW, WINDOW_CLASS_NAME, request.title,
                               WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, width, height,
                               NULL, NULL, win32.instance, NULL);
    }
    case WINDOW_IN_HOST: {
        // A child filling the host's client area, which it follows until the
        // host goes away.
        HWND parent = (HWND)request.host;
        RECT client;
        failure = MESSAGE_NO_HOST_WINDOW;
        if (parent == NULL || !IsWindow(parent) || !GetClientRect(parent, &client)) return NULL;
        failure = MESSAGE_WINDOW_CREATION_ERROR;
        win32.host = parent;
        return CreateWindowExA(0, WINDOW_CLASS_NAME, request.title,
                               WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                               client.right - client.left, client.bottom - client.top, parent,
                               NULL, win32.instance, NULL);
    }
    case WINDOW_OWN:
        break;
    }

    DWORD ex_style;
    DWORD style;
    if (request.fullscreen) {
        ex_style = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(FALSE);
    } else {
        ex_style = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }

    RECT outer = {0, 0, request.width, request.height};
    AdjustWindowRectEx(&outer, style, FALSE, ex_style);
    return CreateWindowExA(ex_style, WINDOW_CLASS_NAME, request.title,
                           style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                           outer.right - outer.left, outer.bottom - outer.top, NULL, NULL,
                           win32.instance, NULL);
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
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
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

    if (!win32.pixel_format_filled) fill_pixel_format(request.colour_bits);

    win32.device_context = GetDC(win32.window);
    failure = MESSAGE_NO_DRAWING_SURFACE;
    if (win32.device_context == NULL) return false;
    const int format = ChoosePixelFormat(win32.device_context, &win32.pixel_format);
    failure = MESSAGE_NO_PIXEL_FORMAT;
    if (format == 0) return false;
    failure = MESSAGE_PIXEL_FORMAT_REFUSED;
    if (!SetPixelFormat(win32.device_context, format, &win32.pixel_format)) return false;
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
    if (win32.render_context != NULL) {
        if (!wglMakeCurrent(NULL, NULL)) report_close_failure(MESSAGE_CONTEXT_NOT_RELEASED);
        if (!wglDeleteContext(win32.render_context)) report_close_failure(MESSAGE_CONTEXT_NOT_DELETED);
        win32.render_context = NULL;
    }

    // A window that went with its host took its device context along.
    if (win32.destroyed) win32.device_context = NULL;

    // Every handle is forgotten once released (or once its release failed),
    // so a later failure never tries to release a stale one.
    if (win32.device_context != NULL) {
        if (!ReleaseDC(win32.window, win32.device_context))
            report_close_failure(MESSAGE_SURFACE_NOT_RELEASED);
        win32.device_context = NULL;
    }

    if (win32.window != NULL && !win32.destroyed) {
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

    if (!UnregisterClassA(WINDOW_CLASS_NAME, win32.instance))
        report_close_failure(MESSAGE_DISPLAY_NOT_CLOSED);
    win32.instance = NULL;
    // Events the window made while closing mean nothing to the next one.
    forget_events();
}

void win32_swap_buffers()
{
    SwapBuffers(win32.device_context);
}
