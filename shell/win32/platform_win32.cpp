// The platform seam on Win32: the window procedure's messages as events, the wait that wakes
// for a message, message boxes, the table of the seam's functions, and the command line's output.
#include "shell/win32/platform_win32.h"

#include <windows.h>

#include <cstring>

#include "common/keys.h"
#include "shell/event_queue.h"
#include "shell/pacing.h"
#include "shell/win32/window.h"

namespace {

// One message per call, as a message loop takes them: WM_QUIT ends the
// program with its code; any other is dispatched to the window procedure,
// and the first event it made (shell/event_queue.h) comes back. A host that
// is gone ends the program too, in case its end did not reach the window in it.
bool poll_win32_event(platform_event& event)
{
    if (pop_event(event)) return true;
    if (win32.kind == WINDOW_IN_HOST && win32.window != NULL && !IsWindow(win32.host)) {
        event = quit_event(0);
        return true;
    }
    MSG message;
    if (!PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) return false;
    if (message.message == WM_QUIT) {
        event = quit_event((int)message.wParam);
        return true;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (!pop_event(event)) event = {};  // PLATFORM_EVENT_OTHER
    return true;
}

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

HANDLE frame_timer;

HANDLE timer()
{
    if (frame_timer == NULL) {
        // A high-resolution timer keeps the wait close to 1/60 s where the
        // system's default timer granularity is coarser than a frame.
        frame_timer = CreateWaitableTimerExW(NULL, NULL, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                             TIMER_ALL_ACCESS);
        if (frame_timer == NULL)
            frame_timer = CreateWaitableTimerExW(NULL, NULL, 0, TIMER_ALL_ACCESS);
    }
    return frame_timer;
}

// Waits for the deadline or for a message to the thread's queue, whichever
// comes first; false when a message came first.
bool wait_until_or_message(int64_t deadline_ns)
{
    const int64_t remaining = deadline_ns - system_now_ns();
    if (remaining <= 0) return true;
    HANDLE handle = timer();
    if (handle == NULL) return true;
    LARGE_INTEGER due;
    due.QuadPart = -(LONGLONG)(remaining / 100);  // negative: relative, in 100 ns units
    if (due.QuadPart == 0) return true;
    if (!SetWaitableTimer(handle, &due, 0, NULL, NULL, FALSE)) return true;
    const DWORD woke = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    CancelWaitableTimer(handle);
    return false;
}

// The system's text for the calling thread's last error, or null when none is set.
const char* last_error_text()
{
    static char text[256];
    const DWORD code = GetLastError();
    if (code == 0) return nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        NULL, code, 0, text, sizeof text, NULL);
    if (length == 0) {
        wsprintfA(text, "system error %lu", (unsigned long)code);
        return text;
    }
    // The system's text ends in a line break; the report is one line.
    DWORD end = length;
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) --end;
    text[end] = '\0';
    return text;
}

message_answer message_box(message_id id)
{
    return win32_message_box_owned(id, NULL);
}

// The command line's texts: to the console or stream the program was started
// with, else in a message box (a program started from the desktop has neither).
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

const platform win32_seam = {
    nullptr,
    nullptr,
    win32_open_display,
    win32_enter_display_mode,
    win32_leave_display_mode,
    win32_open_window,
    win32_has_context,
    win32_close_window,
    win32_swap_buffers,
    poll_win32_event,
    system_now_ns,
    wait_until_or_message,
    message_box,
    {make_gdi_font, free_gdi_font},
    last_error_text,
    nullptr,  // a stop comes as a message (WM_CLOSE, WM_ENDSESSION)
};

}  // namespace

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    platform_event event = {};
    switch (message) {
    case WM_ACTIVATE:
        // The high word holds the minimised state.
        push_event(activate_event(HIWORD(wparam) != 0));
        return 0;
    case WM_SYSCOMMAND:
        // Neither the system's screensaver nor monitor power-off starts
        // while the window runs.
        if (wparam == SC_SCREENSAVE || wparam == SC_MONITORPOWER) return 0;
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    case WM_DESTROY:
        // Destroyed by anyone but win32_close_window: the host's window went
        // away and took this one, its child, along.
        if (window == win32.window && !win32.closing) {
            win32.destroyed = true;
            push_event(quit_event(0));
        }
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
        event.kind = message == WM_KEYUP ? PLATFORM_EVENT_KEY_UP : PLATFORM_EVENT_KEY_DOWN;
        event.key = wparam < (WPARAM)KEY_TABLE_SIZE ? (int)wparam : -1;
        push_event(event);
        // Alt and F10 are keys too (a screensaver ends on them); the system
        // still gets them, for Alt+F4.
        if (message == WM_SYSKEYDOWN) break;
        return 0;
    case WM_MOUSEMOVE: {
        // In screen pixels, so that the position means the same in any window.
        POINT where = {(short)LOWORD(lparam), (short)HIWORD(lparam)};
        ClientToScreen(window, &where);
        event.kind = PLATFORM_EVENT_POINTER_MOVE;
        event.x = where.x;
        event.y = where.y;
        push_event(event);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        event.kind = PLATFORM_EVENT_BUTTON_DOWN;
        push_event(event);
        break;
    case WM_SIZE:
        push_event(resize_event(LOWORD(lparam), HIWORD(lparam)));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

const platform& win32_platform()
{
    return win32_seam;
}

const command_line_output& win32_command_output()
{
    return output;
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
