// tarvelin_render: runs either program's frames offscreen and writes PNG files.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tarvelin_version.h"

#include "common/world.h"
#include "scene/world_dump.h"
#include "shell/headless/icon.h"
#include "shell/headless/output_file.h"
#include "shell/headless/png_writer.h"
#include "shell/headless/render_options.h"
#include "shell/headless/render_run.h"
#include "shell/headless/world_dump_file.h"
#include "shell/headless/world_summary.h"
#include "shell/program.h"
#include "shell/saver_session.h"

int main(int argc, char** argv)
{
    render_options options;
    std::string error;
    if (!parse_render_options(argc - 1, argv + 1, options, error)) {
        std::fprintf(stderr, "tarvelin_render: %s\n", error.c_str());
        return 2;
    }
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
            !write_png_rgba(options.out.c_str(), options.icon_size, options.icon_size, rgba.data(), error)) {
            std::fprintf(stderr, "tarvelin_render: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    // A dump that cannot be written fails now, not after every frame has been drawn.
    if (!options.dump_world.empty() && !check_output_path(options.dump_world, "world dump", error)) {
        std::fprintf(stderr, "tarvelin_render: %s\n", error.c_str());
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    start_program(options.saver ? PROGRAM_SAVER : PROGRAM_VIEWER);
    const double generation_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (options.soft) set_soft_mode(true);
    if (options.host_width > 0) enter_saver_session(WINDOW_IN_HOST, 0);
    if (options.summary) print_world_summary(stdout, generation_seconds);

    if (options.frames > 0) {
        frame_figures figures;
        if (run_render(options, figures, error) != 0) {
            std::fprintf(stderr, "tarvelin_render: %s\n", error.c_str());
            return 1;
        }
        if (options.bench) print_frame_figures(stdout, figures, generation_seconds);
    } else if (options.bench) {
        std::printf("world generation: %.3f s\n", generation_seconds);
    }

    if (!options.dump_world.empty() && !write_world_dump(options.dump_world.c_str(), error)) {
        std::fprintf(stderr, "tarvelin_render: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
