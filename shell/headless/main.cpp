// tarvelin_render: runs either program's frames offscreen and writes PNG files, the world dump and figures.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tarvelin_version.h"

#include "bench/frame_times.h"
#include "common/gl.h"
#include "common/world.h"
#include "render/gl_setup.h"
#include "scene/icon.h"
#include "scene/world_dump.h"
#include "shell/headless/output_file.h"
#include "shell/headless/platform_headless.h"
#include "shell/headless/render_options.h"
#include "shell/program.h"
#include "shell/saver_session.h"

namespace {

// What --help prints.
constexpr char USAGE[] =
    "usage: tarvelin_render [--saver [--host WxH]] [--soft] [--frames N] [--shot LIST|all]\n"
    "                       [--out DIR] [--keys SCRIPT] [--dump-world FILE] [--bench]\n"
    "                       [--summary] [--size WxH] [--resolution design|window]\n"
    "                       [--renderer gl|gles]\n"
    "       tarvelin_render --replay FILE [--shot LIST|all] [--out DIR] [--dump-world FILE] ...\n"
    "       tarvelin_render --icon SIZE [--out FILE]\n"
    "       tarvelin_render --help | --version\n"
    "  --saver           the screensaver's world and frame driver\n"
    "  --host WxH        the screensaver in a host's window of W x H pixels, as an X\n"
    "                    screensaver runs it: the picture fitted, bars around it\n"
    "  --size WxH        the program's own window of W x H pixels, the picture fitted\n"
    "  --resolution design|window\n"
    "                    draw at the design size (1024 x 768, soft 640 x 480) and scale\n"
    "                    to the window, or at the window's size (default: design size\n"
    "                    on a software renderer when the picture is scaled up)\n"
    "  --renderer gl|gles\n"
    "                    draw through desktop OpenGL (default), or through the\n"
    "                    emulation of its fixed function on OpenGL ES 3 that the\n"
    "                    browser build uses\n"
    "  --soft            the interactive program's 640 x 480 soft mode\n"
    "  --frames N        run N frames (the title sequence comes first)\n"
    "  --shot LIST       comma-separated frame numbers to save as PNG, or 'all'\n"
    "  --out DIR         folder for the PNG files (default: shots)\n"
    "  --keys SCRIPT     keys held over frames, e.g. up@800-900,left@850-870,q@900\n"
    "                    (keys: up, down, left, right, q, a, escape, f1)\n"
    "  --replay FILE     replay a swim recorded by tarvelin --record FILE (or\n"
    "                    tarvelin_saver's) frame for frame, then check that the camera\n"
    "                    ends where it ended in the recording (exit code 1 if not)\n"
    "  --dump-world FILE write the world state after the last frame ('-': standard output)\n"
    "  --bench           print frame-time figures and the generation time\n"
    "  --summary         print a summary of the generated world\n"
    "  --icon SIZE       render the program's icon, SIZE x SIZE pixels (16 to 512),\n"
    "                    to the PNG file FILE (default: tarvelin-SIZE.png)\n"
    "  --help            print this help\n"
    "  --version         print the version\n";

// The PNG file of frame `frame`.
std::string shot_path(const render_options& options, long frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
    return (std::filesystem::path(options.out) / name).string();
}

// Makes the folder for the frames and finds, before the first frame, a wanted
// frame's file that could not be replaced (read-only, a folder of its name).
bool check_shot_files(const render_options& options, std::string& error)
{
    if (!make_output_folder(options.out, error)) return false;
    std::error_code failure;
    for (std::filesystem::directory_iterator it(options.out, failure), end; !failure && it != end; it.increment(failure)) {
        const std::string path = it->path().string(), name = it->path().filename().string();
        long frame = 0;
        if (name.size() > 10 && parse_count(name.substr(6, name.size() - 10), 1, options.frames, frame) &&
            path == shot_path(options, frame) && frame_wanted(options, frame) && !check_output_path(path, "", error))
            return false;
    }
    return true;
}

// Runs the program's loop on the headless platform for options.frames
// frames, saving the wanted ones in options.out, and with --bench prints
// their figures; `drawn` counts the frames. False with a one-line message
// in `error` when the folder, a file or the context cannot be made.
bool run_frames(const render_options& options, long& drawn, std::string& error)
{
    if ((options.shot_all || !options.shots.empty()) && !check_shot_files(options, error)) return false;
    std::string renderer;            // GL_RENDERER of the context
    long title_frames = 0;           // frames the title sequence drew
    std::vector<double> main_times;  // each main-view frame's time to draw, in milliseconds
    headless_run run;
    run.frames = options.frames;
    run.keys = options.keys;
    run.width = options.host_width + options.size_width;  // one of them is 0
    run.height = options.host_height + options.size_height;
    run.frame_done = [&](long frame, bool title, double ms) {
        drawn = frame;
        const GLubyte* gl_renderer = frame == 1 ? glGetString(GL_RENDERER) : nullptr;
        if (gl_renderer) renderer = (const char*)gl_renderer;
        if (title)
            ++title_frames;
        else
            main_times.push_back(ms);
        if (!frame_wanted(options, frame)) return true;
        int width, height;
        const std::vector<unsigned char> rgb = read_render_frame(width, height);
        return write_png(shot_path(options, frame), width, height, 3, rgb.data(), run.error);
    };
    const bool ran = run_windows(headless_platform(run), lake_scene) == 0;
    error = run.error;
    if (!ran || !options.bench) return ran;
    const frame_times main_view = summarise_frame_times(main_times);
    std::printf("renderer: %s\ntitle frames: %ld\nmain-view frames: %zu\n", renderer.c_str(), title_frames,
                main_times.size());
    std::printf("main-view frame time: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms\n", main_view.median,
                main_view.p95, main_view.worst);
    return true;
}

// Reports a failure on standard error; returns the exit code.
int failed(const std::string& error, int code = 1)
{
    std::fprintf(stderr, "tarvelin_render: %s\n", error.c_str());
    return code;
}

// Whether the replay drew the recording's frames and left the camera where
// the recording says; the verdict goes to standard output (standard error
// when the dump goes there), a difference is a failure.
int check_replay(const render_options& options, long drawn)
{
    const swim_record& recorded = options.recording;
    const swim_camera camera = {world.camera_x, world.camera_y, world.camera_z, world.camera_yaw, world.camera_pitch};
    if (drawn != recorded.frames)
        return failed("the replay ended after " + std::to_string(drawn) + " frames, the recording after " +
                      std::to_string(recorded.frames));
    const std::string difference = camera_difference(recorded.camera, camera);
    if (!difference.empty()) return failed("the replay's camera differs from the recording's: " + difference);
    std::fprintf(options.dump_world == "-" ? stderr : stdout,
                 "replay: %ld frames; the camera matches the recording (x %.9g, y %.9g, z %.9g, yaw %.9g, pitch %.9g)\n",
                 drawn, (double)camera.x, (double)camera.y, (double)camera.z, (double)camera.yaw, (double)camera.pitch);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    render_options options;
    std::string error;
    if (!parse_render_options(argc - 1, argv + 1, options, error)) return failed(error + " (see --help)", 2);
    if (options.help || options.version) {
        options.help ? std::fputs(USAGE, stdout) : std::printf("tarvelin_render %s\n", TARVELIN_VERSION);
        return 0;
    }
    use_render_api(options.gles ? RENDER_API_GLES : RENDER_API_GL);
    if (options.icon_size != 0) {
        // The icon needs the start lamp only, not the generated world. Its
        // samples are drawn in a window of their own, opened and closed as
        // every window is; it places its own camera: no size handler.
        set_start_values(false);
        headless_run run;
        run.width = run.height = options.icon_size * ICON_SUPERSAMPLE;
        const platform& p = headless_platform(run);
        if (!open_program_window(p, {nullptr, [](int, int) {}, setup_gl})) return failed(run.error);
        draw_icon_samples(options.icon_size);
        int width, height;
        const std::vector<unsigned char> samples = read_render_frame(width, height);
        close_program_window(p);
        const int size = options.icon_size;
        return write_png(options.out, size, size, 4, icon_from_samples(size, samples).data(), error) ? 0 : failed(error);
    }
    // A dump that cannot be written fails now, not after every frame has been drawn.
    if (!options.dump_world.empty() && !check_output_path(options.dump_world, "world dump", error))
        return failed(error);

    const auto start = std::chrono::steady_clock::now();
    start_program(options.saver ? PROGRAM_SAVER : PROGRAM_VIEWER);
    const double generation_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.soft) set_soft_mode(true);
    if (!options.replay.empty()) world.fullscreen = options.recording.fullscreen;
    set_picture_resolution(options.resolution);
    if (options.host_width > 0) enter_saver_session(WINDOW_IN_HOST, 0);
    if (options.summary) print_world_summary(stdout, generation_seconds);

    long drawn = 0;
    if (options.frames > 0 && !run_frames(options, drawn, error)) return failed(error);
    if (options.bench) std::printf("world generation: %.3f s\n", generation_seconds);

    if (!options.dump_world.empty() && !write_world_dump(options.dump_world, error)) return failed(error);
    return options.replay.empty() ? 0 : check_replay(options, drawn);
}
