// The headless frame loop: key scripts, the F1 context rebuild, Escape, PNG shots and frame times.
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
#include "scene/frame.h"
#include "render/gl_setup.h"
#include "shell/headless/egl_context.h"
#include "shell/headless/output_file.h"
#include "shell/headless/png_writer.h"
#include "render/shape_cache.h"

namespace {

// The keys a script can hold.
constexpr int SCRIPT_KEYS[] = {VK_CODE_UP, VK_CODE_DOWN, VK_CODE_LEFT, VK_CODE_RIGHT,
                               VK_CODE_Q,  VK_CODE_A,    VK_CODE_ESCAPE, VK_CODE_F1};

void close_render_window();

// The window's part of opening: context, size, initial state. A context
// still open (a caller's) is closed first, with the lists that belong to it.
bool open_render_window(std::string& error)
{
    if (render_context_exists()) close_render_window();
    if (!create_render_context(world.mode_width, world.mode_height, error)) return false;
    on_resize(world.mode_width, world.mode_height);
    setup_gl();
    return true;
}

// The window's part of closing: lists of this context go with it.
void close_render_window()
{
    free_font();
    release_shape_cache();
    destroy_render_context();
}

void hold_script_keys(const render_options& options, long frame)
{
    std::fill(std::begin(world.keys), std::end(world.keys), false);
    for (int key : SCRIPT_KEYS)
        if (key_held(options.keys, key, frame)) world.keys[key] = true;
}

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
    if (!open_render_window(error)) return 1;
    figures.renderer = render_context_renderer();

    using clock = std::chrono::steady_clock;
    for (long frame = 1; frame <= options.frames; ++frame) {
        hold_script_keys(options, frame);
        const bool title = world.title_running;
        const auto start = clock::now();
        run_frame();
        glFinish();  // as the buffer swap would: the frame is drawn before it counts
        const double ms = std::chrono::duration<double, std::milli>(clock::now() - start).count();
        if (title)
            ++figures.title_frames;
        else
            figures.main_times.push_back(ms);
        figures.frames_run = frame;

        if (frame_wanted(options, frame)) {
            if (!save_frame(options.out, frame, error)) {
                close_render_window();
                return 1;
            }
            ++figures.shots_written;
        }
        // The window switch: one held F1 rebuilds the context once per frame.
        if (world.keys[VK_CODE_F1]) {
            world.keys[VK_CODE_F1] = false;
            close_render_window();
            world.fullscreen = !world.fullscreen;
            if (!open_render_window(error)) return 1;
        }
        if (world.done) break;
    }
    close_render_window();
    return 0;
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
