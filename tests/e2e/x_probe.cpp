// x_probe: the end-to-end tests' look at an X display: window close
// requests, window pictures and simple pixel statistics.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/support/png_file.h"

namespace {

struct picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // top row first
};

int usage()
{
    std::fputs(
        "usage: x_probe close WINDOW          ask the window to close, as its close button does\n"
        "       x_probe grab WINDOW FILE.ppm  save the window's picture\n"
        "       x_probe cursor                 'hidden' or 'visible': the pointer's cursor now\n"
        "       x_probe saver [SECONDS]        'on' or 'off': the X screensaver's state now;\n"
        "                                      SECONDS first sets its idle timeout\n"
        "       x_probe stats FILE X Y W H    statistics of a rectangle (top-left origin) of\n"
        "                                      a binary PPM or a PNG picture:\n"
        "           black_percent distinct_colours reddish_pixels pure_red_pixels\n"
        "           mean_r mean_g mean_b yellow_pixels\n",
        stderr);
    return 2;
}

Window parse_window(const char* text)
{
    return (Window)std::strtoul(text, nullptr, 0);
}

int close_window(const char* id)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const Window window = parse_window(id);
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent ? 0 : 1;
}

int channel_shift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

int grab_window(const char* id, const char* path)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const Window window = parse_window(id);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return 1;
    XImage* image = XGetImage(display, window, 0, 0, (unsigned)attributes.width,
                              (unsigned)attributes.height, AllPlanes, ZPixmap);
    if (!image) return 1;
    const int rs = channel_shift(image->red_mask), gs = channel_shift(image->green_mask),
              bs = channel_shift(image->blue_mask);
    FILE* out = std::fopen(path, "wb");
    if (!out) return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", image->width, image->height);
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const unsigned char rgb[3] = {(unsigned char)((p & image->red_mask) >> rs),
                                          (unsigned char)((p & image->green_mask) >> gs),
                                          (unsigned char)((p & image->blue_mask) >> bs)};
            std::fwrite(rgb, 1, 3, out);
        }
    }
    std::fclose(out);
    XDestroyImage(image);
    XCloseDisplay(display);
    return 0;
}

int cursor_state()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    int event_base = 0, error_base = 0;
    if (!XFixesQueryExtension(display, &event_base, &error_base)) return 1;
    XFixesCursorImage* cursor = XFixesGetCursorImage(display);
    if (!cursor) return 1;
    // A hidden cursor is an image with no opaque pixel.
    bool visible = false;
    for (int i = 0; i < (int)cursor->width * (int)cursor->height; ++i) {
        if ((cursor->pixels[i] >> 24) & 0xFF) visible = true;
    }
    std::puts(visible ? "visible" : "hidden");
    XFree(cursor);
    XCloseDisplay(display);
    return 0;
}

int saver_state(const char* timeout)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    if (timeout) {
        XSetScreenSaver(display, std::atoi(timeout), 0, PreferBlanking, AllowExposures);
        XSync(display, False);
    }
    int event_base = 0, error_base = 0;
    if (!XScreenSaverQueryExtension(display, &event_base, &error_base)) return 1;
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (!info || !XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) return 1;
    std::puts(info->state == ScreenSaverOn ? "on" : "off");
    XFree(info);
    XCloseDisplay(display);
    return 0;
}

bool read_ppm(const char* path, picture& pic)
{
    FILE* in = std::fopen(path, "rb");
    if (!in) return false;
    int maxval = 0;
    const bool ok = std::fscanf(in, "P6 %d %d %d", &pic.width, &pic.height, &maxval) == 3 &&
                    maxval == 255 && pic.width > 0 && pic.height > 0;
    if (ok) {
        std::fgetc(in);
        pic.rgb.resize((size_t)pic.width * (size_t)pic.height * 3);
        const size_t got = std::fread(pic.rgb.data(), 1, pic.rgb.size(), in);
        std::fclose(in);
        return got == pic.rgb.size();
    }
    std::fclose(in);
    return false;
}

// A PPM picture (x_probe grab's), or a PNG one (a Wayland compositor's screenshot).
bool read_picture(const char* path, picture& pic)
{
    const std::string name = path;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0) return read_ppm(path, pic);
    std::string pixels, error;
    if (!read_png(name, 3, pic.width, pic.height, pixels, error)) {
        std::fprintf(stderr, "x_probe: %s\n", error.c_str());
        return false;
    }
    pic.rgb.assign(pixels.begin(), pixels.end());
    return true;
}

int stats(const char* path, int x0, int y0, int w, int h)
{
    picture pic;
    if (!read_picture(path, pic)) return 1;
    if (x0 < 0 || y0 < 0 || w <= 0 || h <= 0 || x0 + w > pic.width || y0 + h > pic.height) {
        std::fprintf(stderr, "x_probe: rectangle outside the %dx%d picture\n", pic.width,
                     pic.height);
        return 1;
    }
    long black = 0, reddish = 0, pure_red = 0, yellow = 0;
    double sum[3] = {0, 0, 0};
    std::set<unsigned> colours;
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const unsigned char* p = &pic.rgb[((size_t)y * (size_t)pic.width + (size_t)x) * 3];
            if (p[0] < 16 && p[1] < 16 && p[2] < 16) ++black;
            // Reddish: lit and fogged red surfaces. Pure red: unlit text.
            if (p[0] >= 80 && p[1] * 2 < p[0] && p[2] * 2 < p[0]) ++reddish;
            if (p[0] >= 250 && p[1] <= 5 && p[2] <= 5) ++pure_red;
            // Yellow: the frame-rate figures.
            if (p[0] > 180 && p[1] > 180 && p[2] < 80) ++yellow;
            for (int c = 0; c < 3; ++c) sum[c] += p[c];
            colours.insert((unsigned)p[0] << 16 | (unsigned)p[1] << 8 | p[2]);
        }
    }
    const double n = (double)w * (double)h;
    std::printf("%d %zu %ld %ld %.0f %.0f %.0f %ld\n", (int)(100.0 * (double)black / n),
                colours.size(), reddish, pure_red, sum[0] / n, sum[1] / n, sum[2] / n, yellow);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) return close_window(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "cursor") == 0) return cursor_state();
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "saver") == 0) {
        return saver_state(argc == 3 ? argv[2] : nullptr);
    }
    if (argc == 4 && std::strcmp(argv[1], "grab") == 0) return grab_window(argv[2], argv[3]);
    if (argc == 7 && std::strcmp(argv[1], "stats") == 0) {
        return stats(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                     std::atoi(argv[6]));
    }
    return usage();
}
