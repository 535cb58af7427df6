// Message boxes on SDL2: the boxes of the message table, with their buttons and icons.
#include <SDL_messagebox.h>
#include <SDL_timer.h>

#include "shell/posix/stop_signals.h"
#include "shell/sdl/platform_sdl.h"

namespace {

// The kind of box for each message_icon, in its order. SDL knows three
// kinds; a question goes out as information.
const Uint32 box_kinds[] = {SDL_MESSAGEBOX_INFORMATION, SDL_MESSAGEBOX_WARNING, SDL_MESSAGEBOX_ERROR,
                            SDL_MESSAGEBOX_INFORMATION};

// Attempts at showing one box before giving up. A box can fail while the
// display is briefly unavailable: under X11 each box is a client of its own,
// and a server may reset itself just after its last client has left.
const int SHOW_ATTEMPTS = 3;

}  // namespace

message_answer sdl_message_box(message_id id)
{
    const message_text& box = message_text_of(id);
    // Each button's id is the answer it gives.
    const SDL_MessageBoxButtonData yes_no[2] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, ANSWER_YES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_NO, "No"},
    };
    const SDL_MessageBoxButtonData ok[1] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_OK,
         "OK"},
    };
    const bool question = box.buttons == MESSAGE_BUTTONS_YES_NO;
    SDL_MessageBoxData data = {};
    data.flags = box_kinds[box.icon] | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.title = box.caption;
    data.message = box.text;
    data.numbuttons = question ? 2 : 1;
    data.buttons = question ? yes_no : ok;
    for (int attempt = 1; attempt <= SHOW_ATTEMPTS; ++attempt) {
        int pressed = -1;
        // The box runs its own loop until it is answered; a stop signal
        // meanwhile ends the process (shell/posix/stop_signals.h).
        begin_blocking_box();
        const int shown = SDL_ShowMessageBox(&data, &pressed);
        end_blocking_box();
        // Closed without a button, the box leaves `pressed` at -1.
        if (shown == 0) return pressed < 0 ? ANSWER_NONE : (message_answer)pressed;
        if (attempt < SHOW_ATTEMPTS) SDL_Delay(100);
    }
    return ANSWER_NOT_SHOWN;
}
