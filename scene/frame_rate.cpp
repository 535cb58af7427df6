// The frame-rate figures: counted over whole seconds of the wall clock, drawn as overlay text.
#include "scene/frame_rate.h"

#include <chrono>

#include "common/gl.h"
#include "common/world.h"
#include "render/overlay.h"

namespace {

using frame_clock = std::chrono::steady_clock;

bool shown = false;
frame_clock::time_point frame_start, second_start;
int frames_in_second = 0;
double drawing_in_second = 0;  // milliseconds spent drawing in the second so far
// The figures of the last whole second.
double rate = 0, drawing = 0;

}  // namespace

void show_frame_rate(bool on)
{
    shown = on;
}

void start_frame_timing()
{
    if (shown) frame_start = frame_clock::now();
}

void draw_frame_rate()
{
    if (!shown) return;
    const frame_clock::time_point now = frame_clock::now();
    if (second_start == frame_clock::time_point()) second_start = now;
    ++frames_in_second;
    drawing_in_second += std::chrono::duration<double, std::milli>(now - frame_start).count();
    const double span = std::chrono::duration<double>(now - second_start).count();
    if (span >= 1.0) {
        rate = frames_in_second / span;
        drawing = drawing_in_second / frames_in_second;
        frames_in_second = 0;
        drawing_in_second = 0;
        second_start = now;
    }
    begin_overlay();
    glColor3d(1, 1, 0);
    print_text(8.0f, (float)world.mode_height - 20.0f, "%.1f fps  %.1f ms", rate, drawing);
}
