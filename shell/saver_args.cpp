// The screensaver's hosting arguments: X screensaver conventions and Windows' screensaver switches.
#include "shell/saver_args.h"

#include <cctype>
#include <cstring>

namespace {

constexpr unsigned long long WINDOW_ID_LIMIT = 0xFFFFFFFFull;

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int digit_value(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// The window id at `text` up to `end` (exclusive).
bool parse_window_id_range(const char* text, const char* end, unsigned long& window)
{
    int base = 10;
    if (end - text > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (text == end) return false;
    unsigned long long value = 0;
    for (const char* p = text; p != end; ++p) {
        const int d = digit_value(*p, base);
        if (d < 0) return false;
        value = value * (unsigned)base + (unsigned)d;
        if (value > WINDOW_ID_LIMIT) return false;
    }
    if (value == 0) return false;
    window = (unsigned long)value;
    return true;
}

// "--NAME" or "-NAME"
bool is_option(const char* arg, const char* name)
{
    if (arg[0] != '-') return false;
    const char* rest = arg[1] == '-' ? arg + 2 : arg + 1;
    return std::strcmp(rest, name) == 0;
}

}  // namespace

bool parse_window_id(const char* text, unsigned long& window)
{
    if (text == nullptr) return false;
    return parse_window_id_range(text, text + std::strlen(text), window);
}

saver_host_result parse_saver_host_arguments(int argc, const char* const* argv,
                                             const char* environment_window, saver_host& host,
                                             std::string& error)
{
    host = saver_host();
    bool root = false;
    for (int k = 0; k < argc; ++k) {
        const char* arg = argv[k];
        const char* value = nullptr;
        const auto given_twice = [&] {
            error = "'" + std::string(arg) + "' is given twice";
            return SAVER_HOST_BAD_VALUE;
        };
        if (is_option(arg, "root")) {
            if (root) return given_twice();
            root = true;
            continue;
        }
        if (is_option(arg, "window-id")) {
            if (k + 1 >= argc) {
                error = std::string(arg) + " needs a window id";
                return SAVER_HOST_BAD_VALUE;
            }
            value = argv[++k];
        } else if (std::strncmp(arg, "--window-id=", 12) == 0) {
            value = arg + 12;
        } else {
            error = "unknown option '" + std::string(arg) + "'";
            return SAVER_HOST_NOT_OPTION;
        }
        if (host.hosted) return given_twice();
        if (!parse_window_id(value, host.window)) {
            error = "--window-id: '" + std::string(value) +
                    "' is not a window id (decimal, or hexadecimal with 0x)";
            return SAVER_HOST_BAD_VALUE;
        }
        host.hosted = true;
    }
    if (host.hosted) return SAVER_HOST_FOUND;
    if (environment_window != nullptr && environment_window[0] != '\0') {
        // Some hosts write the id with blanks around it.
        const char* start = environment_window;
        while (is_blank(*start)) ++start;
        const char* end = start + std::strlen(start);
        while (end > start && is_blank(end[-1])) --end;
        if (!parse_window_id_range(start, end, host.window)) {
            error = "$XSCREENSAVER_WINDOW: '" + std::string(environment_window) +
                    "' is not a window id";
            return SAVER_HOST_BAD_VALUE;
        }
        host.hosted = true;
        return SAVER_HOST_FOUND;
    }
    host.hosted = root;
    return SAVER_HOST_FOUND;
}

windows_saver_command parse_windows_saver_command(const char* command_line)
{
    windows_saver_command command;
    if (command_line == nullptr) return command;
    const char* p = command_line;
    while (is_blank(*p)) ++p;
    if (*p == '\0') return command;

    // The first word, without the quotes some launchers put around it.
    const char* word = p;
    const bool quoted = *word == '"';
    if (quoted) ++word;
    const char* word_end = word;
    while (*word_end != '\0' && !is_blank(*word_end) && *word_end != '"' && *word_end != ':')
        ++word_end;

    const bool is_switch = (word[0] == '/' || word[0] == '-') && word_end - word == 2;
    const int letter = is_switch ? std::tolower((unsigned char)word[1]) : 0;
    switch (letter) {
    case 's': command.mode = SAVER_SCREEN; break;
    case 'p': command.mode = SAVER_PREVIEW; break;
    case 'c': command.mode = SAVER_SETTINGS; break;
    case 'a': command.mode = SAVER_PASSWORD; break;
    default:
        command.mode = SAVER_BAD_COMMAND;
        command.error = "unknown switch '" + std::string(word, word_end) +
                        "' (known: /s, /p HWND, /c[:HWND], /a)";
        return command;
    }

    // The window: after a colon, or as the next word.
    const char* q = word_end;
    if (quoted && *q == '"') ++q;
    if (*q == ':') {
        ++q;
    } else {
        while (is_blank(*q)) ++q;
    }
    const char* id_end = q;
    while (*id_end != '\0' && !is_blank(*id_end) && *id_end != '"') ++id_end;
    unsigned long window = 0;
    if (parse_window_id_range(q, id_end, window)) command.window = (uintptr_t)window;
    // Only the preview needs its window; for the others a word that is no
    // window simply is not one.
    if (command.mode == SAVER_PREVIEW && window == 0) {
        command.mode = SAVER_BAD_COMMAND;
        command.error = id_end == q ? "/p needs the handle of the window to draw in"
                                    : "/p: '" + std::string(q, id_end) + "' is not a window handle";
    }
    return command;
}

picture_resolution stored_picture_resolution(const uint32_t* value)
{
    if (value == nullptr) return RESOLUTION_AUTO;
    switch (*value) {
    case 1: return RESOLUTION_DESIGN;
    case 2: return RESOLUTION_WINDOW;
    default: return RESOLUTION_AUTO;
    }
}

bool stored_frame_rate(const uint32_t* value)
{
    return value != nullptr && *value == 1;
}

uint32_t picture_resolution_to_store(picture_resolution resolution)
{
    switch (resolution) {
    case RESOLUTION_DESIGN: return 1;
    case RESOLUTION_WINDOW: return 2;
    case RESOLUTION_AUTO: break;
    }
    return 0;
}
