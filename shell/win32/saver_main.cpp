// tarvelin_saver on Windows: the screensaver's entry.
#include <windows.h>

#include <cstdlib>

#include "shell/program.h"
#include "shell/saver_args.h"
#include "shell/win32/platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int)
{
    // Windows' screensaver settings ask for a configuration dialog (/c) or a
    // preview inside their own window (/p): neither exists, so end at once.
    if (saver_exits_at_once(command_line)) return 0;
    // Windows starts a screensaver with /s (or -s); its switches are not options.
    if (__argc > 1) {
        const char* first = __argv[1];
        const bool windows_switch =
            first[0] == '/' || (first[0] == '-' && first[1] != '-' && first[1] != '\0' &&
                                (first[2] == '\0' || first[2] == ':'));
        if (windows_switch) return run_program(win32_platform(), PROGRAM_SAVER);
    }
    return run_from_command_line(win32_platform(), PROGRAM_SAVER, __argc - 1, __argv + 1,
                                 win32_command_output());
}
