// Message boxes on SDL2: the boxes of the message table, with their buttons and icons.
#include "shell/sdl/stop_signals.h"
#include "shell/sdl/window.h"

#include <SDL_error.h>
#include <SDL_messagebox.h>
#include <SDL_timer.h>

#include <cstdio>

namespace {

// SDL knows three kinds of box; a question goes out as information.
Uint32 box_flags(message_icon icon)
{
    switch (icon) {
    case MESSAGE_ICON_EXCLAMATION:
        return SDL_MESSAGEBOX_WARNING;
    case MESSAGE_ICON_STOP:
        return SDL_MESSAGEBOX_ERROR;
    case MESSAGE_ICON_QUESTION:
    case MESSAGE_ICON_INFORMATION:
        break;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

const int BUTTON_YES = 1;
const int BUTTON_NO = 2;
const int BUTTON_OK = 3;

// Attempts at showing one box before giving up. A box can fail while the
// display is briefly unavailable: under X11 each box is a client of its own,
// and a server may reset itself just after its last client has left.
const int SHOW_ATTEMPTS = 3;

// Shows the box; returns the pressed button's id, or -1. When no box can be
// shown at all (no display), the text goes to standard error instead, so
// that the message is not lost.
int show_box(const char* caption, const char* text, message_icon icon,
             const SDL_MessageBoxButtonData* buttons, int button_count)
{
    SDL_MessageBoxData data = {};
    data.flags = box_flags(icon) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = nullptr;
    data.title = caption;
    data.message = text;
    data.numbuttons = button_count;
    data.buttons = buttons;
    data.colorScheme = nullptr;
    for (int attempt = 1; attempt <= SHOW_ATTEMPTS; ++attempt) {
        int pressed = -1;
        // The box runs its own loop until it is answered; a stop signal
        // meanwhile ends the process (stop_signals.h).
        begin_blocking_box();
        const int shown = SDL_ShowMessageBox(&data, &pressed);
        end_blocking_box();
        if (shown == 0) return pressed;
        if (attempt < SHOW_ATTEMPTS) SDL_Delay(100);
    }
    std::fprintf(stderr, "%s: %s\n(no message box: %s)\n", caption, text, SDL_GetError());
    return -1;
}

}  // namespace

message_answer sdl_message_box(message_id id)
{
    const message_text& box = message_text_of(id);
    if (box.buttons == MESSAGE_BUTTONS_YES_NO) {
        const SDL_MessageBoxButtonData buttons[2] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, BUTTON_YES, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, BUTTON_NO, "No"},
        };
        switch (show_box(box.caption, box.text, box.icon, buttons, 2)) {
        case BUTTON_YES:
            return ANSWER_YES;
        case BUTTON_NO:
            return ANSWER_NO;
        default:
            return ANSWER_NONE;
        }
    }
    const SDL_MessageBoxButtonData buttons[1] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         BUTTON_OK, "OK"},
    };
    return show_box(box.caption, box.text, box.icon, buttons, 1) == BUTTON_OK ? ANSWER_OK : ANSWER_NONE;
}
