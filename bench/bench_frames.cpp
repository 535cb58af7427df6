// Frame times of the current build in an offscreen context, as tarvelin_render
// runs them: the title frames and the main-view frames of a scripted swim (or
// of the screensaver), and with --steps a breakdown of the main-view frame by
// drawing step, each step finished (glFinish) before the next one starts.
//
//   bench_frames [--saver] [--soft] [--frames N] [--keys SCRIPT] [--steps] [--cpu]
//
// Defaults: 1100 frames, keys up@770-1100,left@900-940. The figures are
// medians and 95th percentiles (nearest rank) in milliseconds of wall time,
// or with --cpu of the CPU time the whole process (the renderer's threads
// included) spent: the work done rather than the time it took, which other
// programs on a busy machine disturb far less.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench/frame_times.h"
#include "common/gl.h"
#include "common/key_script.h"
#include "common/keys.h"
#include "common/world.h"
#include "render/font.h"
#include "render/gl_setup.h"
#include "render/shape_cache.h"
#include "scene/frame.h"
#include "scene/startup.h"
#include "shell/freetype/font_freetype.h"
#include "shell/headless/platform_headless.h"

namespace {

bool cpu_time = false;

double now_ms()
{
    if (cpu_time) {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec / 1e6;
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Per-step times of the frame being drawn.
double step_start;
std::vector<double> step_times[FRAME_STEP_COUNT];

void finish_step(frame_step step)
{
    glFinish();
    const double now = now_ms();
    step_times[step].push_back(now - step_start);
    step_start = now;
}

bool open_window(std::string& error)
{
    if (!create_render_context(world.mode_width, world.mode_height, error)) return false;
    on_resize(world.mode_width, world.mode_height);
    setup_gl();
    return true;
}

void close_window()
{
    free_font();
    release_shape_cache();
    destroy_render_context();
}

int usage_error(const std::string& message)
{
    std::fprintf(stderr, "bench_frames: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    bool saver = false, soft = false, steps = false;
    long frames = 1100;
    std::vector<key_hold> keys;
    std::string script = "up@770-1100,left@900-940";
    for (int k = 1; k < argc; ++k) {
        const std::string a = argv[k];
        if (a == "--saver") {
            saver = true;
        } else if (a == "--soft") {
            soft = true;
        } else if (a == "--steps") {
            steps = true;
        } else if (a == "--cpu") {
            cpu_time = true;
        } else if ((a == "--frames" || a == "--keys") && k + 1 < argc) {
            const std::string v = argv[++k];
            if (a == "--keys") {
                script = v;
            } else {
                char* end = nullptr;
                frames = std::strtol(v.c_str(), &end, 10);
                if (v.empty() || *end || frames < 1 || frames > 1000000)
                    return usage_error("--frames wants a count from 1 to 1000000");
            }
        } else {
            return usage_error("unknown option '" + a +
                               "' (--saver, --soft, --steps, --cpu, --frames N, --keys SCRIPT)");
        }
    }
    std::string error;
    if (!script.empty() && !parse_key_script(script, keys, error)) return usage_error(error);

    use_font_source({make_freetype_font, free_freetype_font});
    start_world(saver);
    if (soft) {
        world.mode_width = 640;
        world.mode_height = 480;
        world.large_layout = false;
    }
    if (!open_window(error)) {
        std::fprintf(stderr, "bench_frames: %s\n", error.c_str());
        return 1;
    }
    const GLubyte* renderer = glGetString(GL_RENDERER);
    std::printf("renderer: %s\n", renderer ? (const char*)renderer : "");
    if (steps) set_frame_step_observer(finish_step);

    std::vector<double> title_times, main_times;
    for (long frame = 1; frame <= frames; ++frame) {
        std::fill(std::begin(world.keys), std::end(world.keys), false);
        for (const script_key& key : SCRIPT_KEYS)
            if (key_held(keys, key.code, frame)) world.keys[key.code] = true;
        const bool title = world.title_running;
        const double start = now_ms();
        step_start = start;
        run_frame();
        glFinish();
        const double ms = now_ms() - start;
        (title ? title_times : main_times).push_back(ms);
        if (world.keys[VK_CODE_F1]) {
            close_window();
            world.fullscreen = !world.fullscreen;
            if (!open_window(error)) {
                std::fprintf(stderr, "bench_frames: %s\n", error.c_str());
                return 1;
            }
        }
        if (world.done) break;
    }
    close_window();

    const frame_times t = summarise_frame_times(title_times), m = summarise_frame_times(main_times);
    std::printf("title frames: %zu, median %.2f ms, 95th percentile %.2f ms\n", title_times.size(),
                t.median, t.p95);
    std::printf("%s frames: %zu, median %.2f ms, 95th percentile %.2f ms%s%s\n",
                saver ? "screensaver" : "main-view", main_times.size(), m.median, m.p95,
                steps ? " (each step finished)" : "", cpu_time ? " (CPU time)" : "");
    if (!steps) return 0;

    double total = 0;
    for (const auto& s : step_times) total += summarise_frame_times(s).mean;
    std::printf("%-28s %9s %9s %7s\n", "step", "median", "mean", "share");
    for (int k = 0; k < FRAME_STEP_COUNT; ++k) {
        if (step_times[k].empty()) continue;
        const frame_times s = summarise_frame_times(step_times[k]);
        std::printf("%-28s %6.2f ms %6.2f ms %6.1f%%\n", frame_step_name((frame_step)k), s.median, s.mean,
                    total > 0 ? 100.0 * s.mean / total : 0.0);
    }
    return 0;
}
