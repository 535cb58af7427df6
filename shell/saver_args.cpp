// The screensaver's command-line check.
#include "shell/saver_args.h"

namespace {

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

bool saver_exits_at_once(const char* command_line)
{
    if (command_line == nullptr) return false;
    const char* p = command_line;
    while (is_space(*p)) ++p;
    // Some launchers quote the switch.
    if (*p == '"') ++p;
    if (*p != '/' && *p != '-') return false;
    ++p;
    const char letter = *p;
    if (letter != 'c' && letter != 'C' && letter != 'p' && letter != 'P') return false;
    ++p;
    // The switch ends here, or carries its window after a colon ("/c:1234").
    return *p == '\0' || *p == ':' || *p == '"' || is_space(*p);
}
