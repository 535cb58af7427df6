// tarvelin_world: generates either program's world, moves it frame by frame without drawing, and dumps it.
#include <cstdio>
#include <string>
#include <vector>

#include "tarvelin_version.h"

#include "common/key_script.h"
#include "common/world.h"
#include "scene/frame.h"
#include "scene/world_dump.h"
#include "shell/output_file.h"
#include "shell/program.h"

namespace {

constexpr char USAGE[] =
    "usage: tarvelin_world [--saver] [--frames N] [--keys SCRIPT] --dump-world FILE\n"
    "       tarvelin_world --help | --version\n"
    "  --saver           the screensaver's world and frame driver\n"
    "  --frames N        run N frames of motion, nothing drawn (the title sequence\n"
    "                    comes first); the world moves as tarvelin_render's does\n"
    "  --keys SCRIPT     keys held over frames, e.g. up@800-900,left@850-870,q@900\n"
    "                    (keys: up, down, left, right, q, a, escape, f1)\n"
    "  --dump-world FILE write the world state after the last frame ('-': standard output)\n"
    "  --help            print this help\n"
    "  --version         print the version\n";

struct world_options {
    bool help = false, version = false, saver = false;
    long frames = 0;
    std::vector<key_hold> keys;
    std::string dump_world;
};

// Parses the command line; false with a one-line message in `error`.
bool parse_options(int argc, char** argv, world_options& options, std::string& error)
{
    for (int k = 1; k < argc; ++k) {
        std::string name = argv[k], value;
        const bool takes_value = name == "--frames" || name == "--keys" || name == "--dump-world" ||
                                 name.rfind("--frames=", 0) == 0 || name.rfind("--keys=", 0) == 0 ||
                                 name.rfind("--dump-world=", 0) == 0;
        if (takes_value) {
            const size_t equals = name.find('=');
            if (equals != std::string::npos) {
                value = name.substr(equals + 1);
                name.resize(equals);
            } else if (k + 1 < argc) {
                value = argv[++k];
            } else {
                error = "option " + name + " needs a value";
                return false;
            }
        }
        if (name == "--help") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--saver") {
            options.saver = true;
        } else if (name == "--frames") {
            if (!parse_count(value, 0, FRAME_LIMIT, options.frames)) {
                error = "--frames takes a whole number from 0 to " + std::to_string(FRAME_LIMIT) + ", not '" +
                        value + "'";
                return false;
            }
        } else if (name == "--keys") {
            if (!parse_key_script(value, options.keys, error)) return false;
        } else if (name == "--dump-world") {
            if (value.empty()) {
                error = "--dump-world needs a file name";
                return false;
            }
            options.dump_world = value;
        } else {
            error = "unknown option '" + std::string(argv[k]) + "'";
            return false;
        }
    }
    if (!options.help && !options.version && options.dump_world.empty()) {
        error = "--dump-world FILE is required";
        return false;
    }
    return true;
}

int failed(const std::string& error, int code = 1)
{
    std::fprintf(stderr, "tarvelin_world: %s\n", error.c_str());
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    world_options options;
    std::string error;
    if (!parse_options(argc, argv, options, error)) return failed(error + " (see --help)", 2);
    if (options.help || options.version) {
        options.help ? std::fputs(USAGE, stdout) : std::printf("tarvelin_world %s\n", TARVELIN_VERSION);
        return 0;
    }
    if (!check_output_path(options.dump_world, "world dump", error)) return failed(error);

    start_program(options.saver ? PROGRAM_SAVER : PROGRAM_VIEWER);
    // As the program's loop runs them: before each frame the script's keys
    // go down or up; Escape in the main view ends the run; F1 would rebuild
    // the window, which moves nothing.
    for (long frame = 1; frame <= options.frames && !world.done; ++frame) {
        for (const script_key& key : SCRIPT_KEYS) world.keys[key.code] = key_held(options.keys, key.code, frame);
        advance_frame_without_drawing();
        world.keys[VK_CODE_F1] = false;
    }

    const bool written = write_output_file(options.dump_world, "world dump", [](const output_sink& put) -> const char* {
        write_world_dump(put);
        return nullptr;
    }, error);
    return written ? 0 : failed(error);
}
