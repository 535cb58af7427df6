// Every text the programs show: the window title and the message boxes, by id.
#pragma once

// The title of every window of both programs.
extern const char* const WINDOW_TITLE;

enum message_id {
    // The start questions and the full-screen fallback.
    MESSAGE_ASK_FULLSCREEN,
    MESSAGE_ASK_SOFT_MODE,
    MESSAGE_ASK_WINDOWED_FALLBACK,
    MESSAGE_PROGRAM_WILL_CLOSE,
    // A window or context that could not be made.
    MESSAGE_DISPLAY_SETUP_FAILED,  // what every window needs (a window class, the video subsystem)
    MESSAGE_WINDOW_CREATION_ERROR,
    MESSAGE_NO_DRAWING_SURFACE,    // the window's device context
    MESSAGE_NO_PIXEL_FORMAT,       // no double-buffered RGBA format with a depth buffer
    MESSAGE_PIXEL_FORMAT_REFUSED,  // the window would not take the format found
    MESSAGE_NO_RENDERING_CONTEXT,
    MESSAGE_ACTIVATE_CONTEXT_FAILED,
    MESSAGE_INITIALIZATION_FAILED,
    // A step of closing a window that failed.
    MESSAGE_CONTEXT_NOT_RELEASED,  // the context could not be made not current
    MESSAGE_CONTEXT_NOT_DELETED,
    MESSAGE_SURFACE_NOT_RELEASED,
    MESSAGE_WINDOW_NOT_DESTROYED,
    MESSAGE_DISPLAY_NOT_CLOSED,    // what every window needs could not be undone
    // The screensaver in another program's window.
    MESSAGE_NO_DISPLAY,
    MESSAGE_NO_HOST_WINDOW,
    // The screensaver's settings dialog (Windows' Settings button): its
    // caption and the text above the choices; and the failure to keep them.
    MESSAGE_SAVER_SETTINGS,
    MESSAGE_SETTINGS_NOT_SAVED,
    MESSAGE_COUNT
};

enum message_icon {
    MESSAGE_ICON_QUESTION,
    MESSAGE_ICON_EXCLAMATION,
    MESSAGE_ICON_STOP,
    MESSAGE_ICON_INFORMATION,
};

enum message_buttons {
    MESSAGE_BUTTONS_OK,      // Return and Escape both press it
    MESSAGE_BUTTONS_YES_NO,  // Return answers Yes, Escape No
};

enum message_answer {
    ANSWER_YES,
    ANSWER_NO,
    ANSWER_OK,
    ANSWER_NONE,       // the box was closed without a button
    ANSWER_NOT_SHOWN,  // no box could be shown
};

struct message_text {
    const char* caption;
    const char* text;
    message_icon icon;
    message_buttons buttons;
};

// The box of `id`; an id outside the table gives the "Initialization
// Failed." box rather than reading past it.
const message_text& message_text_of(message_id id);
