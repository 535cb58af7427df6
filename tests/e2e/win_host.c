/* win_host: a stand-in for the preview window of Windows' screensaver
 * settings. It opens a borderless WIDTH x HEIGHT window at 50, 50 titled
 * "tarvelin preview host", prints its handle in decimal (as Windows passes
 * it after /p), then a line for each child window whenever its children
 * change ("child CLASS X Y WIDTH HEIGHT VISIBLE"), and destroys the window
 * once the file GONE_FILE exists, staying alive for a minute after that, so
 * that only the window's end can end a preview drawn in it.
 * Usage: win_host.exe WIDTH HEIGHT GONE_FILE
 * Built by the Wine tests with mingw-w64 as a console program. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static const char* gone_file;
static char last_report[4096];

static BOOL CALLBACK describe_child(HWND child, LPARAM report)
{
    char class_name[64] = "";
    RECT r;
    GetClassNameA(child, class_name, sizeof class_name);
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, GetParent(child), (POINT*)&r, 2);
    char line[160];
    snprintf(line, sizeof line, "child %s %ld %ld %ld %ld %d\n", class_name, r.left, r.top,
             r.right - r.left, r.bottom - r.top, IsWindowVisible(child) ? 1 : 0);
    strncat((char*)report, line, sizeof last_report - strlen((char*)report) - 1);
    return TRUE;
}

static void report_children(HWND window)
{
    char report[sizeof last_report] = "";
    EnumChildWindows(window, describe_child, (LPARAM)report);
    if (strcmp(report, last_report) != 0) {
        strcpy(last_report, report);
        fputs(report[0] ? report : "no children\n", stdout);
        fflush(stdout);
    }
}

static LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_TIMER) {
        report_children(window);
        if (GetFileAttributesA(gone_file) != INVALID_FILE_ATTRIBUTES) {
            KillTimer(window, 1);
            DestroyWindow(window);
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int main(int argc, char** argv)
{
    if (argc != 4) {
        fputs("usage: win_host.exe WIDTH HEIGHT GONE_FILE\n", stderr);
        return 2;
    }
    const int width = atoi(argv[1]), height = atoi(argv[2]);
    gone_file = argv[3];
    WNDCLASSA window_class = {0};
    window_class.lpfnWndProc = host_proc;
    window_class.hInstance = GetModuleHandleA(NULL);
    window_class.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    window_class.lpszClassName = "tarvelin_preview_host";
    if (!RegisterClassA(&window_class)) return 1;
    HWND window = CreateWindowExA(0, "tarvelin_preview_host", "tarvelin preview host",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50, width, height,
                                  NULL, NULL, window_class.hInstance, NULL);
    if (window == NULL) return 1;
    SetTimer(window, 1, 100, NULL);
    printf("%lu\n", (unsigned long)(uintptr_t)window);
    fflush(stdout);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Sleep(60000);
    return 0;
}
