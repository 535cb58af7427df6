// The Win32 window: class, display mode, WGL context, window procedure and teardown.
#include "shell/win32/window.h"

#include <cstring>

#include "common/gl.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "render/shape_cache.h"
#include "shell/win32/message_boxes.h"

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
    window_class.hIcon = LoadIcon(NULL, IDI_WINLOGO);
    window_class.hCursor = LoadCursor(NULL, IDC_ARROW);
    window_class.hbrBackground = NULL;
    window_class.lpszMenuName = NULL;
    window_class.lpszClassName = WINDOW_CLASS_NAME;
    return RegisterClassA(&window_class) != 0;
}

// Switches the display to width x height at colour_bits; true on success.
bool enter_display_mode(int width, int height, int colour_bits)
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

// Undoes a half-made window, then reports the step that failed.
bool creation_failed(const char* text)
{
    close_window();
    show_creation_error(text);
    return false;
}

}  // namespace

bool open_window(const char* title, int width, int height, int colour_bits, bool fullscreen_wanted)
{
    world.fullscreen = fullscreen_wanted;
    win32.instance = GetModuleHandleA(NULL);
    if (!register_window_class()) {
        show_creation_error("Failed To Register The Window Class.");
        return false;
    }

    if (world.fullscreen && !enter_display_mode(width, height, colour_bits)) {
        if (ask_windowed_fallback() == IDYES) {
            world.fullscreen = false;
        } else {
            show_program_will_close();
            return false;
        }
    }

    DWORD ex_style;
    DWORD style;
    if (world.fullscreen) {
        ex_style = WS_EX_APPWINDOW;
        style = WS_POPUP;
        ShowCursor(FALSE);
    } else {
        ex_style = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
        style = WS_OVERLAPPEDWINDOW;
    }

    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, style, FALSE, ex_style);
    win32.window = CreateWindowExA(ex_style, WINDOW_CLASS_NAME, title,
                                   style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                   outer.right - outer.left, outer.bottom - outer.top, NULL, NULL,
                                   win32.instance, NULL);
    if (win32.window == NULL) return creation_failed("Window Creation Error.");

    if (!win32.pixel_format_filled) fill_pixel_format(colour_bits);

    win32.device_context = GetDC(win32.window);
    if (win32.device_context == NULL) return creation_failed("Can't Create A GL Device Context.");
    const int format = ChoosePixelFormat(win32.device_context, &win32.pixel_format);
    if (format == 0) return creation_failed("Can't Find A Suitable PixelFormat.");
    if (!SetPixelFormat(win32.device_context, format, &win32.pixel_format))
        return creation_failed("Can't Set The PixelFormat.");
    win32.render_context = wglCreateContext(win32.device_context);
    if (win32.render_context == NULL) return creation_failed("Can't Create A GL Rendering Context.");
    if (!wglMakeCurrent(win32.device_context, win32.render_context))
        return creation_failed("Can't Activate The GL Rendering Context.");

    ShowWindow(win32.window, SW_SHOW);
    SetForegroundWindow(win32.window);
    SetFocus(win32.window);

    on_resize(width, height);
    if (!setup_gl()) return creation_failed("Initialization Failed.");
    return true;
}

void close_window()
{
    if (world.fullscreen) {
        ChangeDisplaySettingsA(NULL, 0);
        ShowCursor(TRUE);
    }

    // The font's lists and the cached shapes belong to this context; the
    // next context must build its own.
    if (win32.render_context != NULL) {
        free_font();
        release_shape_cache();
    }

    if (win32.render_context != NULL) {
        if (!wglMakeCurrent(NULL, NULL)) show_shutdown_error("Release Of DC And RC Failed.");
        if (!wglDeleteContext(win32.render_context))
            show_shutdown_error("Release Rendering Context Failed.");
        win32.render_context = NULL;
    }

    // Every handle is forgotten once released (or once its release failed),
    // so a later failure never tries to release a stale one.
    if (win32.device_context != NULL) {
        if (!ReleaseDC(win32.window, win32.device_context))
            show_shutdown_error("Release Device Context Failed.");
        win32.device_context = NULL;
    }

    if (win32.window != NULL) {
        if (!DestroyWindow(win32.window)) show_shutdown_error("Could Not Release hWnd.");
        win32.window = NULL;
    }

    if (!UnregisterClassA(WINDOW_CLASS_NAME, win32.instance))
        show_shutdown_error("Could Not Unregister Class.");
    win32.instance = NULL;
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_ACTIVATE:
        // The high word holds the minimised state.
        world.active = HIWORD(wparam) == 0;
        return 0;
    case WM_SYSCOMMAND:
        // Neither the system's screensaver nor monitor power-off starts
        // while the window runs.
        if (wparam == SC_SCREENSAVE || wparam == SC_MONITORPOWER) return 0;
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wparam < (WPARAM)KEY_TABLE_SIZE) world.keys[wparam] = true;
        return 0;
    case WM_KEYUP:
        if (wparam < (WPARAM)KEY_TABLE_SIZE) world.keys[wparam] = false;
        return 0;
    case WM_SIZE:
        on_resize(LOWORD(lparam), HIWORD(lparam));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
