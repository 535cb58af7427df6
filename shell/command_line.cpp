// The command line of tarvelin and tarvelin_saver: help, version and the start answers.
#include "shell/command_line.h"

#include <cstdio>
#include <cstring>

#include "tarvelin_version.h"

bool parse_program_options(program_kind kind, int argc, const char* const* argv,
                           program_options& options, std::string& error, std::vector<const char*>* others)
{
    bool resolution = false, record = false;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i] ? argv[i] : "";
        // The options with a value take it as the next argument or after '='.
        std::string name = arg;
        const char* value = nullptr;
        if (!std::strncmp(arg, "--resolution", 12) || !std::strncmp(arg, "--record", 8)) {
            const char* equals = std::strchr(arg, '=');
            name = std::string(arg, equals ? (size_t)(equals - arg) : std::strlen(arg));
            if (name == "--resolution" || name == "--record")
                value = equals ? equals + 1 : i + 1 < argc && argv[i + 1] ? argv[++i] : "";
        }
        const bool desktop = std::strcmp(arg, "--fullscreen=desktop") == 0;
        if ((desktop && options.desktop) || (!std::strcmp(arg, "--fps") && options.fps) ||
            (name == "--resolution" && resolution) || (name == "--record" && record)) {
            error = "'" + name + "' is given twice";
            return false;
        }
        if (desktop && kind == PROGRAM_SAVER) {
            options.desktop = true;
        } else if (!std::strcmp(arg, "--fps")) {
            options.fps = true;
        } else if (name == "--resolution") {
            resolution = !std::strcmp(value, "design") || !std::strcmp(value, "window");
            if (!resolution) {
                error = std::string("--resolution: '") + value + "' is not design or window";
                return false;
            }
            options.resolution = value[0] == 'd' ? RESOLUTION_DESIGN : RESOLUTION_WINDOW;
        } else if (name == "--record") {
            record = *value != '\0';
            if (!record) {
                error = "--record: no file name";
                return false;
            }
            options.record = value;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(arg, "--version") == 0) {
            options.version = true;
        } else if (kind == PROGRAM_VIEWER && (!std::strcmp(arg, "--fullscreen") || !std::strcmp(arg, "--window") ||
                                              !std::strcmp(arg, "--soft") || !std::strcmp(arg, "--no-soft") ||
                                              desktop)) {
            // Each question takes one answer: a second one, the same or the other, is a mistake.
            // The letter after "--" tells the four apart: fullscreen, window, soft, no-soft.
            const bool screen = arg[2] == 'f' || arg[2] == 'w';
            preset_answer& answer = screen ? options.fullscreen : options.soft;
            if (answer != PRESET_NONE) {
                error = std::string("'") + arg + "' answers a question another option has answered";
                return false;
            }
            answer = arg[2] == 'f' || arg[2] == 's' ? PRESET_YES : PRESET_NO;
            options.desktop = options.desktop || desktop;
        } else if (others) {
            others->push_back(arg);
        } else {
            error = std::string(arg[0] == '-' ? "unknown option '" : "unexpected argument '") +
                    arg + "'";
            return false;
        }
    }
    return true;
}

std::string program_usage(program_kind kind)
{
    if (kind == PROGRAM_SAVER) {
        return "usage: tarvelin_saver [--root | --window-id ID | --fullscreen=desktop]\n"
               "                      [--resolution design|window] [--fps] [--record FILE]\n"
               "                      [--help] [--version]\n"
               "The lake-bottom screensaver. Started by hand it runs full screen and turns by\n"
               "itself; Escape or the window's close button ends it, F1 switches to a window.\n"
               "  --root, -root        draw in the root window, as XScreenSaver asks\n"
               "  --window-id ID       draw in the X window ID (decimal or 0x hex), as a\n"
               "  -window-id ID        screensaver framework's preview asks;\n"
               "                       $XSCREENSAVER_WINDOW gives the window too\n"
               "  --fullscreen=desktop full screen at the desktop's resolution, no mode change\n"
               "  --resolution design|window\n"
               "                       draw at 1024 x 768 and scale the picture to the window,\n"
               "                       or draw at the window's size (default: the design size\n"
               "                       on a software renderer when the picture is scaled up)\n"
               "  --fps                show the frame rate\n"
               "  --record FILE        write the keys of this run to FILE for\n"
               "                       tarvelin_render --replay (in a window of its own)\n"
               "  --help               show this text and exit\n"
               "  --version            show the version and exit\n";
    }
    return "usage: tarvelin [--fullscreen | --fullscreen=desktop | --window] [--soft | --no-soft]\n"
           "                [--resolution design|window] [--fps] [--record FILE] [--help] [--version]\n"
           "A swim over a lake bottom. Without options it asks whether to run full screen\n"
           "and whether to run in the 640 x 480 soft mode; an option answers its question.\n"
           "  --fullscreen   full screen, 1024 x 768 (or 640 x 480 in the soft mode)\n"
           "  --fullscreen=desktop\n"
           "                 full screen at the desktop's resolution, no mode change\n"
           "  --window       in a window\n"
           "  --soft         the 640 x 480 soft mode\n"
           "  --no-soft      the 1024 x 768 mode\n"
           "  --resolution design|window\n"
           "                 draw at the design size and scale the picture to the window,\n"
           "                 or draw at the window's size (default: the design size on a\n"
           "                 software renderer when the picture is scaled up)\n"
           "  --fps          show the frame rate\n"
           "  --record FILE  write the swim to FILE as it ends, for tarvelin_render --replay\n"
           "  --help         show this text and exit\n"
           "  --version      show the version and exit\n"
           "Keys: arrows swim and turn, Q and A look up and down, F1 switches between full\n"
           "screen and a window, Escape quits.\n";
}

std::string program_version_text(program_kind kind)
{
    return std::string(program_name(kind)) + " " + TARVELIN_VERSION + "\n";
}

namespace {

void write_stdout(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}

void write_stderr(const char* text)
{
    std::fputs(text, stderr);
}

}  // namespace

const command_line_output standard_streams = {write_stdout, write_stderr};

int run_from_command_line(const platform& p, program_kind kind, int argc, const char* const* argv,
                          const command_line_output& output)
{
    program_options options;
    std::string error;
    if (!parse_program_options(kind, argc, argv, options, error)) {
        output.err((std::string(program_name(kind)) + ": " + error + " (see --help)\n").c_str());
        return 2;
    }
    if (options.help) {
        output.out(program_usage(kind).c_str());
        return 0;
    }
    if (options.version) {
        output.out(program_version_text(kind).c_str());
        return 0;
    }
    return run_program(p, kind, options);
}
