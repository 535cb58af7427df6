// x_host: a stand-in for a screensaver host on an X display. It opens a
// top-level window of the given size with an OpenGL-capable visual, as
// XScreenSaver does for a GL hack, prints the window's id and waits. On
// SIGTERM or SIGINT it destroys the window (as a host ends a saver's
// window) and exits.
// Usage: x_host WIDTHxHEIGHT[+X+Y] [default|nodepth]   ("default": the
//        screen's default visual instead of a chosen GL visual; "nodepth":
//        a visual of the screen's depth without a depth buffer, as a
//        preview made for 2D hacks has; its id goes to standard error)
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/select.h>

#include <cstdio>
#include <cstring>

namespace {

volatile sig_atomic_t stop = 0;

// A TrueColor visual of the screen's depth whose GLX config has no depth
// buffer; null where the server offers none.
XVisualInfo* visual_without_depth(Display* display, int screen)
{
    XVisualInfo wanted = {};
    wanted.screen = screen;
    wanted.depth = DefaultDepth(display, screen);
    wanted.c_class = TrueColor;
    int count = 0;
    XVisualInfo* all = XGetVisualInfo(display, VisualScreenMask | VisualDepthMask | VisualClassMask, &wanted, &count);
    XVisualInfo* found = nullptr;
    for (int i = 0; i < count && !found; ++i) {
        int depth_size = -1;
        if (glXGetConfig(display, &all[i], GLX_DEPTH_SIZE, &depth_size) != 0 || depth_size != 0) continue;
        found = XGetVisualInfo(display, VisualIDMask, &all[i], &count);
    }
    if (all) XFree(all);
    return found;
}

void on_signal(int)
{
    stop = 1;
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0, height = 0, x = 0, y = 0;
    const int fields = argc < 2 ? 0 : std::sscanf(argv[1], "%dx%d+%d+%d", &width, &height, &x, &y);
    if ((fields != 2 && fields != 4) || width <= 0 || height <= 0) {
        std::fputs("usage: x_host WIDTHxHEIGHT[+X+Y] [default]\n", stderr);
        return 2;
    }
    const bool default_visual = argc > 2 && std::strcmp(argv[2], "default") == 0;
    const bool no_depth = argc > 2 && std::strcmp(argv[2], "nodepth") == 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("x_host: no display\n", stderr);
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);

    Visual* visual = DefaultVisual(display, screen);
    int depth = DefaultDepth(display, screen);
    Colormap colormap = CopyFromParent;
    if (!default_visual) {
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, GLX_RED_SIZE, 8, None};
        XVisualInfo* info = no_depth ? visual_without_depth(display, screen)
                                     : glXChooseVisual(display, screen, attributes);
        if (!info) {
            std::fputs(no_depth ? "x_host: no visual without a depth buffer\n" : "x_host: no GL visual\n", stderr);
            return 1;
        }
        if (no_depth) std::fprintf(stderr, "x_host: visual 0x%lx\n", info->visualid);
        visual = info->visual;
        depth = info->depth;
        colormap = XCreateColormap(display, root, visual, AllocNone);
        XFree(info);
    }
    XSetWindowAttributes set = {};
    set.background_pixel = BlackPixel(display, screen);
    set.border_pixel = 0;
    set.colormap = colormap;
    set.override_redirect = True;  // placed as asked: no window manager decides
    unsigned long mask = CWBackPixel | CWBorderPixel | CWOverrideRedirect;
    if (colormap != CopyFromParent) mask |= CWColormap;
    const Window window = XCreateWindow(display, root, x, y, (unsigned)width, (unsigned)height, 0,
                                        depth, InputOutput, visual, mask, &set);
    XStoreName(display, window, "x_host");
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("0x%lx\n", (unsigned long)window);
    std::fflush(stdout);

    struct sigaction action = {};
    action.sa_handler = on_signal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    const int fd = ConnectionNumber(display);
    while (!stop) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        fd_set read_set;
        FD_ZERO(&read_set);
        FD_SET(fd, &read_set);
        timeval timeout = {0, 100000};
        select(fd + 1, &read_set, nullptr, nullptr, &timeout);
    }
    XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
