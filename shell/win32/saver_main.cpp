// tarvelin_saver on Windows: the screensaver's entry. Windows starts a
// screensaver with /s to run it, /p HWND for the preview in its settings,
// /c[:HWND] for its settings and /a for a password; a .scr started with no
// switch opens its settings too, while tarvelin_saver.exe started so is the
// program as started by hand. The runs use the choices the settings keep.
#include <windows.h>

#include <cstdlib>

#include "shell/output_file.h"
#include "shell/program.h"
#include "shell/saver_args.h"
#include "shell/saver_session.h"
#include "shell/win32/platform_win32.h"
#include "shell/win32/saver_settings.h"

namespace {

// Whether this program file is a .scr, the name Windows gives screensavers.
bool started_as_scr()
{
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length < 4 || length >= sizeof path) return false;
    return lstrcmpiA(path + length - 4, ".scr") == 0;
}

}  // namespace

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
        if (started_as_scr()) return run_saver_settings(NULL);
        return run_program(win32_platform(), PROGRAM_SAVER, read_saver_settings());
    case SAVER_SCREEN:
        return run_saver_session(win32_platform(), WINDOW_OVER_DESKTOP, 0, read_saver_settings());
    case SAVER_PREVIEW:
        return run_saver_session(win32_platform(), WINDOW_IN_HOST, command.window, read_saver_settings());
    case SAVER_SETTINGS: {
        HWND owner = (HWND)command.window;
        return run_saver_settings(owner != NULL && IsWindow(owner) ? owner : NULL);
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
