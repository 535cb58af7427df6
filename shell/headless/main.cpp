// tarvelin_render: runs either program's frames offscreen and writes PNG files, the world dump and figures.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tarvelin_version.h"

#include "bench/frame_times.h"
#include "common/gl.h"
#include "common/world.h"
#include "shell/headless/egl_context.h"
#include "shell/headless/output_file.h"
#include "shell/headless/platform_headless.h"
#include "shell/headless/render_options.h"
#include "shell/program.h"
#include "shell/saver_session.h"

namespace {

// What --bench prints of the frames.
struct frame_figures {
    std::string renderer;            // GL_RENDERER of the context
    long title_frames = 0;           // frames the title sequence drew
    std::vector<double> main_times;  // each main-view frame's time to draw, in milliseconds
};

// Runs the program's loop on the headless platform for options.frames
// frames, saving the wanted ones in options.out. False with a one-line
// message in `error` when the folder, a file or the context cannot be made.
bool run_frames(const render_options& options, frame_figures& figures, std::string& error)
{
    if (options.shot_all || !options.shots.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(options.out, failure);
        if (failure) {
            error = "cannot create folder '" + options.out + "': " + failure.message();
            return false;
        }
        if (!check_output_folder(options.out, error)) return false;
    }
    headless_run run;
    run.frames = options.frames;
    run.keys = options.keys;
    run.width = options.host_width;
    run.height = options.host_height;
    run.frame_done = [&](long frame, bool title, double ms) {
        if (frame == 1) {
            const GLubyte* renderer = glGetString(GL_RENDERER);
            figures.renderer = renderer ? (const char*)renderer : "";
        }
        if (title)
            ++figures.title_frames;
        else
            figures.main_times.push_back(ms);
        if (!frame_wanted(options, frame)) return true;
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
        int width, height;
        const std::vector<unsigned char> rgb = read_render_frame(width, height);
        return write_png((std::filesystem::path(options.out) / name).string(), width, height, 3, rgb.data(),
                             run.error);
    };
    const bool ran = run_windows(headless_platform(run), lake_scene) == 0;
    error = run.error;
    return ran;
}

void print_world_summary(double generation_seconds)
{
    const float* bed = &world.bed_height[0][0];
    const auto heights = std::minmax_element(bed, bed + BED_SIZE * BED_SIZE);
    std::printf("%s world generated in %.3f s\n", world.saver_build ? "screensaver" : "interactive",
                generation_seconds);
    std::printf("  lake bed: %d x %d vertices, heights %.3f to %.3f (centre %.3f)\n", BED_SIZE, BED_SIZE,
                *heights.first, *heights.second, world.bed_height[1000][1000]);
    std::printf("  plants: %d ribbon weeds, %d red leaves\n", world.ribbon_count, world.leaf_count);
    std::printf("  fish: %d\n", FISH_COUNT);
    std::printf("  camera: (%.1f, %.1f, %.1f), yaw %.0f, pitch %.0f\n", world.camera_x, world.camera_y,
                world.camera_z, world.camera_yaw, world.camera_pitch);
}

// Reports a failure on standard error; returns the exit code.
int failed(const std::string& error, int code = 1)
{
    std::fprintf(stderr, "tarvelin_render: %s\n", error.c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    render_options options;
    std::string error;
    if (!parse_render_options(argc - 1, argv + 1, options, error)) return failed(error, 2);
    if (options.help) {
        std::fputs(render_usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tarvelin_render %s\n", TARVELIN_VERSION);
        return 0;
    }
    if (options.icon_size != 0) {
        // The icon needs the start lamp only, not the generated world.
        set_start_values(false);
        std::vector<unsigned char> rgba;
        if (!render_icon(options.icon_size, rgba, error) ||
            !write_png(options.out, options.icon_size, options.icon_size, 4, rgba.data(), error))
            return failed(error);
        return 0;
    }
    // A dump that cannot be written fails now, not after every frame has been drawn.
    if (!options.dump_world.empty() && !check_output_path(options.dump_world, "world dump", error))
        return failed(error);

    const auto start = std::chrono::steady_clock::now();
    start_program(options.saver ? PROGRAM_SAVER : PROGRAM_VIEWER);
    const double generation_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.soft) set_soft_mode(true);
    if (options.host_width > 0) enter_saver_session(WINDOW_IN_HOST, 0);
    if (options.summary) print_world_summary(generation_seconds);

    frame_figures figures;
    if (options.frames > 0 && !run_frames(options, figures, error)) return failed(error);
    if (options.bench && options.frames > 0) {
        const frame_times main_view = summarise_frame_times(figures.main_times);
        std::printf("renderer: %s\n", figures.renderer.c_str());
        std::printf("title frames: %ld\n", figures.title_frames);
        std::printf("main-view frames: %zu\n", figures.main_times.size());
        std::printf("main-view frame time: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms\n",
                    main_view.median, main_view.p95, main_view.worst);
    }
    if (options.bench) std::printf("world generation: %.3f s\n", generation_seconds);

    if (!options.dump_world.empty() && !write_world_dump(options.dump_world, error)) return failed(error);
    return 0;
}
