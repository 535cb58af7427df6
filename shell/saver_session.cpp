// The screensaver run by a host: the input rules of each placement and the session's start.
#include "shell/saver_session.h"

#include <cstdio>
#include <cstdlib>

#include "common/world.h"
#include "render/picture_fit.h"
#include "shell/program.h"

namespace {

// Where the pointer was first seen over the desktop-wide window.
bool pointer_seen = false;
int pointer_x = 0, pointer_y = 0;

// Whether a message was reported instead of shown in this session.
bool message_reported = false;

bool pointer_moved_away(int x, int y)
{
    if (!pointer_seen) {
        // The first position is where the pointer rested when the window
        // opened: Windows reports it without any movement.
        pointer_seen = true;
        pointer_x = x;
        pointer_y = y;
        return false;
    }
    return std::abs(x - pointer_x) > POINTER_MOVE_TOLERANCE ||
           std::abs(y - pointer_y) > POINTER_MOVE_TOLERANCE;
}

}  // namespace

input_effect input_effect_of(const platform_event& event, window_kind kind)
{
    const bool key = event.kind == PLATFORM_EVENT_KEY_DOWN || event.kind == PLATFORM_EVENT_KEY_UP;
    switch (kind) {
    case WINDOW_OWN:
        return INPUT_APPLIES;
    case WINDOW_IN_HOST:
        return key ? INPUT_IGNORED : INPUT_APPLIES;
    case WINDOW_OVER_DESKTOP:
        if (event.kind == PLATFORM_EVENT_KEY_DOWN || event.kind == PLATFORM_EVENT_BUTTON_DOWN)
            return INPUT_ENDS_PROGRAM;
        if (event.kind == PLATFORM_EVENT_POINTER_MOVE)
            return pointer_moved_away(event.x, event.y) ? INPUT_ENDS_PROGRAM : INPUT_IGNORED;
        // A key let go that was pressed before the window opened.
        return key ? INPUT_IGNORED : INPUT_APPLIES;
    }
    return INPUT_APPLIES;
}

void enter_saver_session(window_kind kind, uintptr_t host)
{
    world.fullscreen = false;
    set_picture_fitted(true);
    set_window_placement(kind, host);
    pointer_seen = false;
}

int run_session_windows(const platform& p, const program_scene& scene)
{
    if (window_placement() != WINDOW_IN_HOST) return run_windows(p, scene);
    platform quiet = p;
    quiet.message_box = write_message_line;
    message_reported = false;
    const int code = run_windows(quiet, scene);
    return message_reported ? 1 : code;
}

int run_saver_session(const platform& p, window_kind kind, uintptr_t host)
{
    start_program(PROGRAM_SAVER);
    enter_saver_session(kind, host);
    return run_session_windows(p, lake_scene);
}

std::string message_line(message_id id)
{
    const message_text& box = message_text_of(id);
    std::string line = std::string("tarvelin_saver: ") + box.caption + ": " + box.text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}

message_answer write_message_line(message_id id)
{
    std::fprintf(stderr, "%s\n", message_line(id).c_str());
    std::fflush(stderr);
    message_reported = true;
    return ANSWER_NONE;
}
