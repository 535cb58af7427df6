// The platform seam without a display: an offscreen context, key scripts as events, PNG shots and frame times.
#include "shell/headless/render_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "common/gl.h"
#include "common/keys.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "shell/freetype/font_freetype.h"
#include "shell/headless/egl_context.h"
#include "shell/headless/output_file.h"
#include "shell/headless/png_writer.h"
#include "shell/program.h"

namespace {

// The keys a script can hold.
constexpr int SCRIPT_KEYS[] = {VK_CODE_UP, VK_CODE_DOWN, VK_CODE_LEFT, VK_CODE_RIGHT,
                               VK_CODE_Q,  VK_CODE_A,    VK_CODE_ESCAPE, VK_CODE_F1};
constexpr int SCRIPT_KEY_COUNT = (int)(sizeof SCRIPT_KEYS / sizeof SCRIPT_KEYS[0]);

// The run in progress: its options, figures and the first error.
struct headless_run {
    const render_options* options;
    frame_figures* figures;
    std::string* error;
    long frame;           // frames drawn so far
    int next_key;         // the script key whose event comes next for frame + 1
    bool title;           // whether the frame being drawn is a title frame
    int quit_code;        // -1 until the run is to end
    std::chrono::steady_clock::time_point frame_start;
    int64_t virtual_now;  // the pacing's clock: frames need no real waiting here
    bool host_size_due;   // a host's window opened: its size is the next event
};

headless_run run;

std::string shot_path(const std::string& folder, long frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
    return (std::filesystem::path(folder) / name).string();
}

bool save_frame(const std::string& folder, long frame, std::string& error)
{
    const int width = render_context_width();
    const int height = render_context_height();
    std::vector<unsigned char> rgb((size_t)width * (size_t)height * 3);
    read_render_pixels_rgb(rgb.data());
    return write_png_rgb(shot_path(folder, frame).c_str(), width, height, rgb.data(), error);
}

bool wants_shots(const render_options& options)
{
    if (options.shot_all) return true;
    for (long s : options.shots)
        if (s <= options.frames) return true;
    return false;
}

bool open_display(message_id&)
{
    return true;
}

// An offscreen context has every size: there is no display mode to change.
bool enter_display_mode(int, int, int)
{
    return true;
}

void leave_display_mode() {}

// The window's part of opening: the context. A context still open (a
// caller's) is closed first, with the lists that belong to it.
bool open_window(const window_request& request, message_id& failure)
{
    if (render_context_exists()) {
        release_context_lists();
        destroy_render_context();
    }
    // A host's window has the size given with --host.
    const bool hosted = request.kind == WINDOW_IN_HOST && run.options->host_width > 0;
    const int width = hosted ? run.options->host_width : request.width;
    const int height = hosted ? run.options->host_height : request.height;
    if (!create_render_context(width, height, *run.error)) {
        failure = MESSAGE_NO_RENDERING_CONTEXT;
        return false;
    }
    if (run.figures->renderer.empty()) run.figures->renderer = render_context_renderer();
    run.host_size_due = hosted;
    return true;
}

void close_window()
{
    destroy_render_context();
}

// The key script as the events a keyboard would send: before each frame,
// every script key goes down if the script holds it in that frame and up
// otherwise (a key held over several frames repeats, as auto-repeat does, so
// a held F1 rebuilds the context once per frame). When the frames are done,
// or a frame could not be saved, the run ends with a quit event.
bool poll_event(platform_event& event)
{
    event = {};
    if (run.quit_code < 0 && run.frame >= run.options->frames) run.quit_code = 0;
    if (run.quit_code >= 0) {
        event.kind = PLATFORM_EVENT_QUIT;
        event.code = run.quit_code;
        return true;
    }
    if (run.host_size_due) {
        run.host_size_due = false;
        event.kind = PLATFORM_EVENT_RESIZE;
        event.width = run.options->host_width;
        event.height = run.options->host_height;
        return true;
    }
    if (run.next_key < SCRIPT_KEY_COUNT) {
        const int key = SCRIPT_KEYS[run.next_key++];
        event.kind = key_held(run.options->keys, key, run.frame + 1) ? PLATFORM_EVENT_KEY_DOWN
                                                                     : PLATFORM_EVENT_KEY_UP;
        event.key = key;
        return true;
    }
    // The queue is empty: the frame is drawn next, and timed from here.
    run.title = world.title_running;
    run.frame_start = std::chrono::steady_clock::now();
    return false;
}

// The end of a frame: its time, the shot, and the next frame's key events.
void swap_buffers()
{
    glFinish();  // as the buffer swap would: the frame is drawn before it counts
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                 run.frame_start)
                          .count();
    ++run.frame;
    run.next_key = 0;
    frame_figures& figures = *run.figures;
    if (run.title)
        ++figures.title_frames;
    else
        figures.main_times.push_back(ms);
    figures.frames_run = run.frame;

    if (frame_wanted(*run.options, run.frame)) {
        if (!save_frame(run.options->out, run.frame, *run.error)) {
            run.quit_code = 1;
            return;
        }
        ++figures.shots_written;
    }
}

int64_t now_ns()
{
    return run.virtual_now;
}

bool wait_until(int64_t deadline_ns)
{
    if (run.virtual_now < deadline_ns) run.virtual_now = deadline_ns;
    return true;
}

// Nothing is shown: the message goes to the run's error, unless a more
// precise one (the context's) is there already.
message_answer message_box(message_id id)
{
    if (run.error->empty()) *run.error = message_text_of(id).text;
    return ANSWER_NO;
}

const platform headless = {
    nullptr,
    nullptr,
    open_display,
    enter_display_mode,
    leave_display_mode,
    open_window,
    render_context_exists,
    close_window,
    swap_buffers,
    poll_event,
    now_ns,
    wait_until,
    message_box,
    {make_freetype_font, free_freetype_font},
    nullptr,  // the run's error already holds the cause
};

}  // namespace

void frame_time_summary(std::vector<double> times, double& median, double& p95, double& worst)
{
    median = p95 = worst = 0;
    if (times.empty()) return;
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    const size_t rank = (size_t)std::ceil(0.95 * (double)n);
    p95 = times[rank - 1];
    worst = times.back();
}

const platform& headless_platform()
{
    return headless;
}

int run_render(const render_options& options, frame_figures& figures, std::string& error)
{
    if (wants_shots(options)) {
        std::error_code failure;
        std::filesystem::create_directories(options.out, failure);
        if (failure) {
            error = "cannot create folder '" + options.out + "': " + failure.message();
            return 1;
        }
        if (!check_output_folder(options.out, error)) return 1;
    }
    error.clear();
    run = headless_run{&options, &figures, &error, 0, 0, false, -1, {}, 0, false};
    const int code = run_windows(headless, lake_scene);
    // A window that could not be opened ends the run as a failure.
    if (code == 0 && !error.empty()) return 1;
    return code;
}

void print_frame_figures(FILE* out, const frame_figures& figures, double generation_seconds)
{
    double median, p95, worst;
    frame_time_summary(figures.main_times, median, p95, worst);
    std::fprintf(out, "renderer: %s\n", figures.renderer.c_str());
    std::fprintf(out, "title frames: %ld\n", figures.title_frames);
    std::fprintf(out, "main-view frames: %zu\n", figures.main_times.size());
    std::fprintf(out, "main-view frame time: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms\n", median,
                 p95, worst);
    std::fprintf(out, "world generation: %.3f s\n", generation_seconds);
}
