// Message boxes: the start-up questions, the full-screen fallback and failures.
#pragma once

enum message_icon {
    MESSAGE_ICON_QUESTION,
    MESSAGE_ICON_EXCLAMATION,
    MESSAGE_ICON_STOP,
    MESSAGE_ICON_INFORMATION,
};

enum message_answer {
    ANSWER_YES,
    ANSWER_NO,
    ANSWER_NONE,  // the box could not be shown, or was closed without a button
};

// Asks a question with Yes and No buttons; Return answers Yes, Escape No.
message_answer ask_yes_no(const char* caption, const char* text, message_icon icon);

// Shows a message with an OK button (Return and Escape both press it).
void show_message(const char* caption, const char* text, message_icon icon);
