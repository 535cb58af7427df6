// tarvelin_saver: the lake-bottom screensaver build. Started by hand it
// runs in a full-screen window of its own; started by an X screensaver
// framework (--root, --window-id ID, $XSCREENSAVER_WINDOW) it draws in the
// framework's window.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/output_file.h"
#include "shell/posix/stop_signals.h"
#include "shell/saver_args.h"
#include "shell/saver_session.h"
#include "shell/sdl/platform_sdl.h"
#include "shell/x11/x11_host.h"

int main(int argc, char** argv)
{
    install_stop_signals();
    use_file_output({check_output_path, write_text_file});
    // The program's own options first; what is left is a host's.
    program_options options;
    std::vector<const char*> host_arguments;
    saver_host host;
    std::string error;
    if (parse_program_options(PROGRAM_SAVER, argc - 1, argv + 1, options, error, &host_arguments) &&
        (options.help || options.version))
        return run_from_command_line(sdl_platform(), PROGRAM_SAVER, argc - 1, argv + 1);
    if (error.empty() && parse_saver_host_arguments((int)host_arguments.size(), host_arguments.data(),
                                                    std::getenv("XSCREENSAVER_WINDOW"), host,
                                                    error) == SAVER_HOST_FOUND) {
        if (!host.hosted) return run_program(sdl_platform(), PROGRAM_SAVER, options);
        if (!options.desktop && options.record.empty())
            return run_saver_session(x11_host_platform(), WINDOW_IN_HOST, host.window, options);
        error = std::string(options.desktop ? "--fullscreen=desktop" : "--record") +
                " is for a window of the saver's own, not a host's";
    }
    // A mistake: one line.
    std::fprintf(stderr, "tarvelin_saver: %s (see --help)\n", error.c_str());
    return 2;
}
