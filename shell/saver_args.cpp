// The screensaver's hosting arguments: X screensaver conventions and Windows' screensaver switches.
#include "shell/saver_args.h"

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

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

}  // namespace

bool parse_window_id(const char* text, unsigned long& window)
{
    if (text == nullptr) return false;
    return parse_window_id_range(text, text + std::strlen(text), window);
}

saver_argument_result take_saver_x_argument(int argc, const char* const* argv, int& index,
                                            saver_x_arguments& arguments, std::string& error)
{
    const char* arg = argv[index];
    if (is_option(arg, "root")) {
        arguments.root = true;
        return SAVER_ARGUMENT_TAKEN;
    }
    const char* value = nullptr;
    bool took_next = false;
    if (is_option(arg, "window-id")) {
        if (index + 1 >= argc) {
            error = std::string(arg) + " needs a window id";
            return SAVER_ARGUMENT_BAD;
        }
        value = argv[index + 1];
        took_next = true;
    } else if (std::strncmp(arg, "--window-id=", 12) == 0) {
        value = arg + 12;
    } else {
        return SAVER_ARGUMENT_OTHER;
    }
    if (!parse_window_id(value, arguments.window)) {
        error = "--window-id: '" + std::string(value) +
                "' is not a window id (decimal, or hexadecimal with 0x)";
        return SAVER_ARGUMENT_BAD;
    }
    arguments.window_given = true;
    if (took_next) ++index;
    return SAVER_ARGUMENT_TAKEN;
}

bool resolve_saver_host(const saver_x_arguments& arguments, const char* environment_window,
                        saver_host& host, std::string& error)
{
    host = saver_host();
    if (arguments.window_given) {
        host.hosted = true;
        host.window = arguments.window;
        return true;
    }
    if (environment_window != nullptr && environment_window[0] != '\0') {
        // Some hosts write the id with blanks around it.
        const char* start = environment_window;
        while (is_blank(*start)) ++start;
        const char* end = start + std::strlen(start);
        while (end > start && is_blank(end[-1])) --end;
        if (!parse_window_id_range(start, end, host.window)) {
            error = "$XSCREENSAVER_WINDOW: '" + std::string(environment_window) +
                    "' is not a window id";
            return false;
        }
        host.hosted = true;
        return true;
    }
    if (arguments.root) {
        host.hosted = true;
        host.window = 0;
    }
    return true;
}

bool parse_saver_host_arguments(int argc, const char* const* argv, const char* environment_window,
                                saver_host& host, std::string& error)
{
    saver_x_arguments arguments;
    for (int k = 0; k < argc; ++k) {
        switch (take_saver_x_argument(argc, argv, k, arguments, error)) {
        case SAVER_ARGUMENT_TAKEN:
            break;
        case SAVER_ARGUMENT_OTHER:
            error = "unknown option '" + std::string(argv[k]) + "'";
            return false;
        case SAVER_ARGUMENT_BAD:
            return false;
        }
    }
    return resolve_saver_host(arguments, environment_window, host, error);
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
    const char letter = is_switch ? lower(word[1]) : '\0';
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
    const bool have_id = id_end != q;
    unsigned long window = 0;
    if (have_id && parse_window_id_range(q, id_end, window)) command.window = (uintptr_t)window;
    if (have_id && window == 0) {
        // Only the preview needs its window; for the others a word that is
        // no window simply is not one.
        if (command.mode == SAVER_PREVIEW) {
            command.mode = SAVER_BAD_COMMAND;
            command.error = "/p: '" + std::string(q, id_end) + "' is not a window handle";
        }
        return command;
    }
    if (command.mode == SAVER_PREVIEW && !have_id) {
        command.mode = SAVER_BAD_COMMAND;
        command.error = "/p needs the handle of the window to draw in";
    }
    return command;
}
