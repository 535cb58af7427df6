// The table of every caption and message text, and the window title.
#include "shell/messages.h"

const char* const WINDOW_TITLE = "OpenGL WinAPI template by Orvandel";

namespace {

const char* const ERROR_CAPTION = "ERROR";
const char* const SHUTDOWN_CAPTION = "SHUTDOWN ERROR";

// In the order of message_id.
const message_text MESSAGES[MESSAGE_COUNT] = {
    {"Start FullScreen?", "Would You Like To Run In Fullscreen Mode?", MESSAGE_ICON_QUESTION,
     MESSAGE_BUTTONS_YES_NO},
    {"Start In A Soft Mode?", "Would You Like To Run In A Soft Mode?", MESSAGE_ICON_QUESTION,
     MESSAGE_BUTTONS_YES_NO},
    {"Kalo GL",
     "The Requested Fullscreen Mode Is Not Supported By\n"
     "Your Video Card. Use Windowed Mode Instead?",
     MESSAGE_ICON_EXCLAMATION, MESSAGE_BUTTONS_YES_NO},
    {ERROR_CAPTION, "Program Will Now Close.", MESSAGE_ICON_STOP, MESSAGE_BUTTONS_OK},

    {ERROR_CAPTION, "Failed To Register The Window Class.", MESSAGE_ICON_EXCLAMATION,
     MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Window Creation Error.", MESSAGE_ICON_EXCLAMATION, MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Can't Create A GL Device Context.", MESSAGE_ICON_EXCLAMATION,
     MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Can't Find A Suitable PixelFormat.", MESSAGE_ICON_EXCLAMATION,
     MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Can't Set The PixelFormat.", MESSAGE_ICON_EXCLAMATION, MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Can't Create A GL Rendering Context.", MESSAGE_ICON_EXCLAMATION,
     MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Can't Activate The GL Rendering Context.", MESSAGE_ICON_EXCLAMATION,
     MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Initialization Failed.", MESSAGE_ICON_EXCLAMATION, MESSAGE_BUTTONS_OK},

    {SHUTDOWN_CAPTION, "Release Of DC And RC Failed.", MESSAGE_ICON_INFORMATION,
     MESSAGE_BUTTONS_OK},
    {SHUTDOWN_CAPTION, "Release Rendering Context Failed.", MESSAGE_ICON_INFORMATION,
     MESSAGE_BUTTONS_OK},
    {SHUTDOWN_CAPTION, "Release Device Context Failed.", MESSAGE_ICON_INFORMATION,
     MESSAGE_BUTTONS_OK},
    {SHUTDOWN_CAPTION, "Could Not Release hWnd.", MESSAGE_ICON_INFORMATION, MESSAGE_BUTTONS_OK},
    {SHUTDOWN_CAPTION, "Could Not Unregister Class.", MESSAGE_ICON_INFORMATION,
     MESSAGE_BUTTONS_OK},

    {ERROR_CAPTION, "Can't Open The Display.", MESSAGE_ICON_EXCLAMATION, MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Can't Find The Window To Draw In.", MESSAGE_ICON_EXCLAMATION,
     MESSAGE_BUTTONS_OK},

    {"Lake Bottom Screensaver",
     "A swim at the bottom of a lake: the crater-pitted lake bed, fish, weeds and\n"
     "bubbles, seen by a swimmer who slowly turns on the spot.\n"
     "\n"
     "The lake bottom screensaver. Created by Orvandel",
     MESSAGE_ICON_INFORMATION, MESSAGE_BUTTONS_OK},
    {ERROR_CAPTION, "Could Not Save The Settings.", MESSAGE_ICON_EXCLAMATION, MESSAGE_BUTTONS_OK},
};

}  // namespace

const message_text& message_text_of(message_id id)
{
    if ((int)id < 0 || (int)id >= MESSAGE_COUNT) return MESSAGES[MESSAGE_INITIALIZATION_FAILED];
    return MESSAGES[id];
}
