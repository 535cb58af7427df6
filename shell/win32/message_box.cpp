// Message boxes on Win32: MessageBoxA with the table's caption, text, buttons and icon.
#include <windows.h>

#include "shell/win32/window.h"

message_answer win32_message_box(message_id id)
{
    return win32_message_box_owned(id, NULL);
}

message_answer win32_message_box_owned(message_id id, HWND owner)
{
    const message_text& box = message_text_of(id);
    // In the order of message_icon.
    const UINT icons[] = {MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONSTOP, MB_ICONINFORMATION};
    const UINT type = (box.buttons == MESSAGE_BUTTONS_YES_NO ? MB_YESNO : MB_OK) | icons[box.icon];
    switch (MessageBoxA(owner, box.text, box.caption, type)) {
    case IDYES:
        return ANSWER_YES;
    case IDNO:
        return ANSWER_NO;
    case IDOK:
        return ANSWER_OK;
    case 0:
        return ANSWER_NOT_SHOWN;
    default:
        return ANSWER_NONE;
    }
}
