// The platform seam in a host's X window: Xlib for the window's size and end, GLX for the context.
#include "shell/x11/x11_host.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "shell/event_queue.h"
#include "shell/freetype/font_freetype.h"
#include "shell/pacing.h"
#include "shell/posix/stop_signals.h"
#include "shell/saver_session.h"
#include "shell/x11/x_errors.h"

namespace {

Display* display = nullptr;
Window host = 0;
// Where the frames go: the host's window itself where its visual suits the
// drawing, else a child window of it with a visual that does (`child`, with
// its colormap), kept at the host's size.
Window drawable = 0;
Window child = 0;
Colormap child_colormap = 0;
GLXContext context = nullptr;
int host_width = 0, host_height = 0;

bool open_display(message_id& failure)
{
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        failure = MESSAGE_NO_DISPLAY;
        return false;
    }
    // Errors about the host's window are expected once the host has
    // destroyed it (a swap that was already on its way).
    catch_x_errors(false);
    return true;
}

// A host's window is never full screen in the program's sense.
bool enter_display_mode(int, int, int)
{
    return false;
}

void leave_display_mode() {}

// Whether the visual offers what the drawing needs: RGBA, two buffers and a
// depth buffer.
bool visual_is_suitable(XVisualInfo* info)
{
    int use_gl = 0, rgba = 0, double_buffer = 0, depth = 0;
    if (glXGetConfig(display, info, GLX_USE_GL, &use_gl) != 0 || !use_gl) return false;
    glXGetConfig(display, info, GLX_RGBA, &rgba);
    glXGetConfig(display, info, GLX_DOUBLEBUFFER, &double_buffer);
    glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth);
    return rgba && double_buffer && depth > 0;
}

// A child window covering the host's, of the best visual the drawing can
// use: the host keeps a visual without a depth buffer (a settings preview
// made for 2D hacks), the frames go to the child. It takes no input, so the
// host still gets its pointer and keys. Under the root window it would be a
// top-level window: there it is left to no window manager and kept below
// every other window, as a picture on the root is. Null, with no window
// made, where the display has no such visual.
XVisualInfo* make_child(const XWindowAttributes& attributes)
{
    int wanted[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                    GLX_DEPTH_SIZE, 1, None};
    XVisualInfo* info = glXChooseVisual(display, XScreenNumberOfScreen(attributes.screen), wanted);
    if (info == nullptr) return nullptr;
    if (!visual_is_suitable(info)) {
        XFree(info);
        return nullptr;
    }
    child_colormap = XCreateColormap(display, host, info->visual, AllocNone);
    XSetWindowAttributes set = {};
    set.colormap = child_colormap;
    set.border_pixel = 0;
    set.background_pixel = 0;
    set.override_redirect = True;
    child = XCreateWindow(display, host, 0, 0, (unsigned)attributes.width, (unsigned)attributes.height, 0,
                          info->depth, InputOutput, info->visual,
                          CWColormap | CWBorderPixel | CWBackPixel | CWOverrideRedirect, &set);
    if (host == attributes.root) XLowerWindow(display, child);
    XMapWindow(display, child);
    return info;
}

bool open_window(const window_request& request, message_id& failure)
{
    failure = MESSAGE_WINDOW_CREATION_ERROR;
    if (display == nullptr || request.kind != WINDOW_IN_HOST) return false;
    host = request.host != 0 ? (Window)request.host : DefaultRootWindow(display);

    XWindowAttributes attributes;
    forget_x_errors();
    failure = MESSAGE_NO_HOST_WINDOW;
    if (!XGetWindowAttributes(display, host, &attributes) || last_x_error() != 0) return false;
    // Size changes and the window's end only: the host keeps its input.
    XSelectInput(display, host, StructureNotifyMask);

    XVisualInfo wanted = {};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
    drawable = host;
    if (info == nullptr || !visual_is_suitable(info)) {
        if (info != nullptr) XFree(info);
        info = make_child(attributes);
        drawable = child;
    }
    failure = MESSAGE_NO_PIXEL_FORMAT;
    if (info == nullptr) return false;
    context = glXCreateContext(display, info, nullptr, True);
    XFree(info);
    failure = MESSAGE_NO_RENDERING_CONTEXT;
    if (context == nullptr) return false;
    failure = MESSAGE_ACTIVATE_CONTEXT_FAILED;
    if (!glXMakeCurrent(display, drawable, context)) return false;
    XSync(display, False);
    if (last_x_error() != 0) return false;

    host_width = attributes.width;
    host_height = attributes.height;
    forget_events();
    push_event(resize_event(host_width, host_height));
    // An unmapped host shows nothing: no frames until it is mapped.
    if (attributes.map_state != IsViewable) push_event(activate_event(true));
    return true;
}

bool has_context()
{
    return context != nullptr;
}

void close_window()
{
    if (display == nullptr) return;
    if (context != nullptr) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
        context = nullptr;
    }
    // The host's window is the host's: it is left as it is. The child goes;
    // if the host has destroyed it already, the error is only noted.
    if (child != 0) XDestroyWindow(display, child);
    if (child_colormap != 0) XFreeColormap(display, child_colormap);
    XCloseDisplay(display);
    display = nullptr;
    host = drawable = child = 0;
    child_colormap = 0;
    forget_events();
}

void swap_buffers()
{
    if (display != nullptr && context != nullptr) glXSwapBuffers(display, drawable);
}

// One X event for the loop: what it means for the host's window.
platform_event event_from_x(const XEvent& x)
{
    const platform_event other = {};  // PLATFORM_EVENT_OTHER
    if (x.xany.window != host) return other;
    switch (x.type) {
    case ConfigureNotify:
        if (x.xconfigure.width == host_width && x.xconfigure.height == host_height) return other;
        host_width = x.xconfigure.width;
        host_height = x.xconfigure.height;
        if (child != 0) XResizeWindow(display, child, (unsigned)host_width, (unsigned)host_height);
        return resize_event(host_width, host_height);
    case UnmapNotify:
    case MapNotify:
        return activate_event(x.type == UnmapNotify);
    case DestroyNotify:
        // The host has closed its window: the saver's work is over.
        return quit_event(0);
    default:
        return other;
    }
}

bool poll_event(platform_event& event)
{
    if (stop_event(event) || pop_event(event)) return true;
    if (display == nullptr) return false;
    if (XPending(display) == 0) {
        // Nothing queued: the next frame comes. A window the host has destroyed
        // may show as such only in an error, later; one round trip asks first.
        // The child goes with its parent: asking about it covers both.
        if (drawable == 0 || !x_window_gone(display, drawable)) return false;
        event = quit_event(0);
        return true;
    }
    XEvent x;
    XNextEvent(display, &x);
    event = event_from_x(x);
    return true;
}

bool wait_until(int64_t deadline_ns)
{
    if (events_waiting()) return false;
    // Events Xlib has already read never show on the connection again.
    if (display != nullptr && XPending(display) > 0) return false;
    return wait_until_stop_or_input(deadline_ns, display ? ConnectionNumber(display) : -1);
}

const platform x11_host = {
    nullptr,
    nullptr,
    open_display,
    enter_display_mode,
    leave_display_mode,
    open_window,
    has_context,
    close_window,
    swap_buffers,
    poll_event,
    system_now_ns,
    wait_until,
    write_message_line,
    {make_freetype_font, free_freetype_font},
    nullptr,  // write_message_line says what failed, on its one line
    stop_requested,
};

}  // namespace

const platform& x11_host_platform()
{
    return x11_host;
}
