// The command line's texts on Windows: to the console or stream the program was started
// with, else in a message box (a program started from the desktop has neither).
#include "shell/win32/platform_win32.h"

#include <windows.h>

#include <cstring>

namespace {

void write_or_show(DWORD which, const char* text, UINT icon)
{
    HANDLE handle = GetStdHandle(which);
    if (handle == NULL || handle == INVALID_HANDLE_VALUE) {
        // Started from a console window: write there.
        if (AttachConsole(ATTACH_PARENT_PROCESS)) handle = GetStdHandle(which);
    }
    DWORD written = 0;
    if (handle != NULL && handle != INVALID_HANDLE_VALUE &&
        WriteFile(handle, text, (DWORD)std::strlen(text), &written, NULL))
        return;
    MessageBoxA(NULL, text, WINDOW_TITLE, MB_OK | icon);
}

void write_out(const char* text)
{
    write_or_show(STD_OUTPUT_HANDLE, text, MB_ICONINFORMATION);
}

void write_err(const char* text)
{
    write_or_show(STD_ERROR_HANDLE, text, MB_ICONEXCLAMATION);
}

const command_line_output output = {write_out, write_err};

}  // namespace

const command_line_output& win32_command_output()
{
    return output;
}
