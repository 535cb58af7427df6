// tarvelin_saver on Windows: the screensaver's entry. Windows starts a
// screensaver with /s to run it, /p HWND for the preview in its settings,
// /c[:HWND] for its settings and /a for a password; run with no switch it is
// the program as started by hand.
#include <windows.h>

#include <cstdlib>

#include "shell/output_file.h"
#include "shell/program.h"
#include "shell/saver_args.h"
#include "shell/saver_session.h"
#include "shell/win32/platform_win32.h"
#include "shell/win32/window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int)
{
    use_file_output({check_output_path, write_text_file});
    // Options of our own (--help, --version) come first; anything else is
    // one of Windows' screensaver switches, or none.
    if (__argc > 1 && __argv[1][0] == '-' && __argv[1][1] == '-')
        return run_from_command_line(win32_platform(), PROGRAM_SAVER, __argc - 1, __argv + 1,
                                     win32_command_output());
    const windows_saver_command command = parse_windows_saver_command(command_line);
    switch (command.mode) {
    case SAVER_AS_PROGRAM:
        return run_program(win32_platform(), PROGRAM_SAVER);
    case SAVER_SCREEN:
        return run_saver_session(win32_platform(), WINDOW_OVER_DESKTOP, 0);
    case SAVER_PREVIEW:
        return run_saver_session(win32_platform(), WINDOW_IN_HOST, command.window);
    case SAVER_SETTINGS: {
        HWND owner = (HWND)command.window;
        win32_message_box_owned(MESSAGE_SAVER_SETTINGS, owner != NULL && IsWindow(owner) ? owner : NULL);
        return 0;
    }
    case SAVER_PASSWORD:
        // Passwords are the system's business on every Windows still in use.
        return 0;
    case SAVER_BAD_COMMAND:
        break;
    }
    // A GUI program has no console to say why; the code says it.
    return 2;
}
