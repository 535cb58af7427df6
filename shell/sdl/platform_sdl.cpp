// The platform seam on SDL2: the window and its OpenGL context, events, the clock, message boxes.
#include "shell/sdl/platform_sdl.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include "shell/event_queue.h"
#include "shell/freetype/font_freetype.h"
#include "shell/pacing.h"
#include "shell/posix/stop_signals.h"
#include "shell/program.h"
#include "shell/sdl/events.h"
#include "shell/sdl/window_icon.h"
#include "shell/x11/x_errors.h"

namespace {

// What the window functions made; every handle is cleared when it is released.
// The video subsystem stays up from start to finish, so that the F1 switch
// opens its new window on the same driver and display.
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
// On X11, the connection and the window, to ask whether another program
// has destroyed the window and to settle errors before SDL lets go of X.
void* x_display = nullptr;
unsigned long x_window = 0;
// The display mode the full-screen window takes when it is shown.
SDL_DisplayMode fullscreen_mode = {};
// Whether start found a display: without one there is nowhere to show a
// message box, and SDL would still start zenity, whose toolkit complains on
// standard error.
bool display_found = false;

// Depth-buffer sizes to ask for, best first: the first one the display
// offers a visual for is taken, as a pixel-format choice takes the closest.
const int depth_sizes[] = {32, 24, 16};

SDL_Window* create_gl_window(const char* title, int width, int height, Uint32 flags)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    for (int depth : depth_sizes) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        SDL_Window* made = SDL_CreateWindow(title, 0, 0, width, height, flags);
        if (made) return made;
    }
    return nullptr;
}

// Whether the current context has what the drawing needs: two buffers and
// a depth buffer.
bool context_is_suitable()
{
    int double_buffer = 0;
    int depth = 0;
    if (SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &double_buffer) != 0) return false;
    if (SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth) != 0) return false;
    return double_buffer == 1 && depth > 0;
}

// Events and video, from before the world is generated to the end; false,
// with SDL's error saying why, where there is no display to show anything on.
bool start()
{
    // Stop signals are the program's own (shell/posix/stop_signals.h), so
    // that they also end it while a message box is up; SDL would only queue
    // a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // On Wayland, no window decorations drawn by libdecor: with them, SDL 2.26
    // crashes in its event dispatch once the F1 switch has destroyed the
    // window and opened another. Compositors that draw decorations themselves
    // still do; SDL_VIDEO_WAYLAND_ALLOW_LIBDECOR=1 in the environment brings
    // libdecor back.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    // The name the screensaver's inhibition goes by (org.freedesktop.ScreenSaver).
    SDL_SetHint(SDL_HINT_APP_NAME, "Tarvelin");
    // Nothing to connect to: say so without trying every video driver.
    const auto set = [](const char* name) { const char* value = SDL_getenv(name); return value && *value; };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("XDG_RUNTIME_DIR") && !set("SDL_VIDEODRIVER")) {
        SDL_SetError("no display to show a window on: neither DISPLAY nor WAYLAND_DISPLAY is set");
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_VIDEO) != 0) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) {
        SDL_SetError("no display to show a window on: SDL fell back to its %s video driver", driver);
        return false;
    }
    // On X11, a window another client destroys ends the program cleanly.
    if (SDL_strcmp(driver, "x11") == 0) catch_x_errors(true);
    display_found = true;
    return true;
}

// close_window has settled the X errors of the last window already.
void finish()
{
    SDL_Quit();
    display_found = false;
}

bool open_display(message_id&)
{
    // Neither the screensaver nor display power saving while a window runs.
    SDL_DisableScreenSaver();
    return true;
}

bool enter_display_mode(int width, int height, int colour_bits)
{
    // The display mode closest to the request, if it is exactly width x height.
    SDL_DisplayMode wanted = {};
    wanted.w = width;
    wanted.h = height;
    wanted.format = colour_bits >= 24 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
    if (SDL_GetClosestDisplayMode(0, &wanted, &fullscreen_mode) != nullptr &&
        fullscreen_mode.w == width && fullscreen_mode.h == height)
        return true;
    SDL_SetError("the display has no %d x %d mode", width, height);
    return false;
}

void leave_display_mode()
{
    if (window) SDL_SetWindowFullscreen(window, 0);
    SDL_ShowCursor(SDL_ENABLE);
}

bool open_window(const window_request& request, message_id& failure)
{
    // A window of its own only: a host's window is shell/x11/x11_host.h's.
    failure = MESSAGE_WINDOW_CREATION_ERROR;
    if (request.kind != WINDOW_OWN) return false;

    // On a HiDPI display the window has its size in logical pixels and its
    // frame the display's full resolution.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (request.fullscreen) {
        flags |= request.desktop ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }

    // Full screen at the desktop's resolution: the window has the desktop's size even where no window
    // manager makes it so.
    SDL_DisplayMode desktop = {};
    desktop.w = request.width;
    desktop.h = request.height;
    if (request.fullscreen && request.desktop) SDL_GetDesktopDisplayMode(0, &desktop);
    window = create_gl_window(request.title, desktop.w, desktop.h, flags);
    if (!window) return false;
    set_window_icon(window);
    // The display mode changes to this one when the window is shown.
    if (request.fullscreen && !request.desktop && SDL_SetWindowDisplayMode(window, &fullscreen_mode) != 0)
        return false;

    context = SDL_GL_CreateContext(window);
    failure = MESSAGE_NO_RENDERING_CONTEXT;
    if (!context) return false;
    failure = MESSAGE_ACTIVATE_CONTEXT_FAILED;
    if (SDL_GL_MakeCurrent(window, context) != 0) return false;
    failure = MESSAGE_NO_PIXEL_FORMAT;
    if (!context_is_suitable()) {
        SDL_SetError("no double-buffered visual with a depth buffer");
        return false;
    }
    // Wait for the vertical blank where the driver can; the frame pacing
    // holds the rate to 60 a second where it cannot.
    SDL_GL_SetSwapInterval(1);

    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        x_display = info.info.x11.display;
        x_window = info.info.x11.window;
    }
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    // The frame's size as a resize event, for a window that did not get the
    // size asked for (the desktop's, a HiDPI display's).
    SDL_Event size = {};
    size.type = SDL_WINDOWEVENT;
    size.window.windowID = SDL_GetWindowID(window);
    size.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    SDL_PushEvent(&size);
    return true;
}

bool has_context()
{
    return context != nullptr;
}

void close_window()
{
    if (context) {
        // Once another program has destroyed the window, releasing its context
        // fails as a matter of course: the cause line has said what happened.
        if (SDL_GL_MakeCurrent(window, nullptr) != 0 && last_x_error() == 0)
            report_close_failure(MESSAGE_CONTEXT_NOT_RELEASED);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
        x_window = 0;
    }
    if (x_display) settle_x_errors(x_display);
}

void swap_buffers()
{
    if (window) SDL_GL_SwapWindow(window);
}

bool poll_event(platform_event& event)
{
    if (stop_event(event)) return true;
    // The window is gone under the program (another client destroyed it):
    // end, restoring the display mode on the way out.
    if (last_x_error() != 0) {
        event = quit_event(EXIT_CANNOT_RUN);
        return true;
    }
    SDL_Event sdl_event;
    if (!SDL_PollEvent(&sdl_event)) return false;
    event = platform_event_from_sdl(sdl_event, window ? SDL_GetWindowID(window) : 0,
                                    window ? SDL_GetWindowFlags(window) : 0);
    // A size counts in the frame's pixels, which HiDPI makes more than the window's.
    if (event.kind == PLATFORM_EVENT_RESIZE && window) SDL_GL_GetDrawableSize(window, &event.width, &event.height);
    return true;
}

// The kind of box for each message_icon, in its order. SDL knows three
// kinds; a question goes out as information.
const Uint32 box_kinds[] = {SDL_MESSAGEBOX_INFORMATION, SDL_MESSAGEBOX_WARNING, SDL_MESSAGEBOX_ERROR,
                            SDL_MESSAGEBOX_INFORMATION};

// Attempts at showing one box before giving up. A box can fail while the
// display is briefly unavailable: under X11 each box is a client of its own,
// and a server may reset itself just after its last client has left.
const int SHOW_ATTEMPTS = 3;

// Shows the box of `id` with its buttons and icon.
message_answer message_box(message_id id)
{
    if (!display_found) return ANSWER_NOT_SHOWN;
    const message_text& box = message_text_of(id);
    // Each button's id is the answer it gives.
    const SDL_MessageBoxButtonData yes_no[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, ANSWER_YES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_NO, "No"},
    };
    const SDL_MessageBoxButtonData ok[1] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_OK,
         "OK"},
    };
    const bool question = box.buttons == MESSAGE_BUTTONS_YES_NO;
    SDL_MessageBoxData data = {};
    data.flags = box_kinds[box.icon] | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.title = box.caption;
    data.message = box.text;
    data.numbuttons = question ? 2 : 1;
    data.buttons = question ? yes_no : ok;
    for (int attempt = 1; attempt <= SHOW_ATTEMPTS; ++attempt) {
        int pressed = -1;
        // The box runs its own loop until it is answered; a stop signal
        // meanwhile ends the process (shell/posix/stop_signals.h).
        begin_blocking_box();
        const int shown = SDL_ShowMessageBox(&data, &pressed);
        end_blocking_box();
        // Closed without a button, the box leaves `pressed` at -1.
        if (shown == 0) return pressed < 0 ? ANSWER_NONE : (message_answer)pressed;
        if (attempt < SHOW_ATTEMPTS) SDL_Delay(100);
    }
    return ANSWER_NOT_SHOWN;
}

// The wait for the next frame ends at once for a stop signal. After it, just
// before the frame, one round trip asks whether the window is still there:
// X reports a window another program destroys only through errors of the
// requests that use it, which may come late, and a frame drawn into a window
// that is gone can take the software renderer seconds.
bool wait_until_or_stop(int64_t deadline_ns)
{
    if (!wait_until_stop_or_input(deadline_ns, -1)) return false;
    return x_window == 0 || !x_window_gone(x_display, x_window);
}

const platform sdl = {
    start,
    finish,
    open_display,
    enter_display_mode,
    leave_display_mode,
    open_window,
    has_context,
    close_window,
    swap_buffers,
    poll_event,
    system_now_ns,
    wait_until_or_stop,
    message_box,
    {make_freetype_font, free_freetype_font},
    SDL_GetError,
    stop_requested,
};

}  // namespace

const platform& sdl_platform()
{
    return sdl;
}
