// The fixed message boxes of the Win32 programs: texts, captions, buttons and icons.
#include "shell/win32/message_boxes.h"

#include <windows.h>

int ask_fullscreen()
{
    return MessageBoxA(NULL, "Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                       MB_YESNO | MB_ICONQUESTION);
}

int ask_soft_mode()
{
    return MessageBoxA(NULL, "Would You Like To Run In A Soft Mode?", "Start In A Soft Mode?",
                       MB_YESNO | MB_ICONQUESTION);
}

int ask_windowed_fallback()
{
    return MessageBoxA(NULL,
                       "The Requested Fullscreen Mode Is Not Supported By\n"
                       "Your Video Card. Use Windowed Mode Instead?",
                       "Kalo GL", MB_YESNO | MB_ICONEXCLAMATION);
}

void show_creation_error(const char* text)
{
    MessageBoxA(NULL, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

void show_program_will_close()
{
    MessageBoxA(NULL, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
}

void show_shutdown_error(const char* text)
{
    MessageBoxA(NULL, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}
