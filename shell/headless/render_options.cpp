// Command line of tarvelin_render: options, key scripts and frame lists.
#include "shell/headless/render_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/keys.h"
#include "shell/headless/icon.h"

namespace {

// Largest frame number accepted anywhere; keeps arithmetic on frames safe.
constexpr long FRAME_LIMIT = 100000000;

bool parse_count(const std::string& text, long minimum, long& value)
{
    if (text.empty() || text.size() > 12) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    errno = 0;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (errno != 0 || v < minimum || v > FRAME_LIMIT) return false;
    value = v;
    return true;
}

struct key_name {
    const char* name;
    int code;
};
constexpr key_name KEY_NAMES[] = {
    {"up", VK_CODE_UP},     {"down", VK_CODE_DOWN}, {"left", VK_CODE_LEFT},
    {"right", VK_CODE_RIGHT}, {"q", VK_CODE_Q},      {"a", VK_CODE_A},
    {"escape", VK_CODE_ESCAPE}, {"f1", VK_CODE_F1},
};

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

// "--name" or "-x": not "-" (standard output) and not a negative number,
// which the option's own check reports better.
bool looks_like_option(const char* text)
{
    if (text[0] != '-' || text[1] == '\0') return false;
    return text[1] == '-' || (text[1] >= 'a' && text[1] <= 'z') || (text[1] >= 'A' && text[1] <= 'Z');
}

}  // namespace

bool parse_key_script(const std::string& script, std::vector<key_hold>& keys, std::string& error)
{
    for (const std::string& item : split(script, ',')) {
        const size_t at = item.find('@');
        if (at == std::string::npos) {
            error = "--keys: '" + item + "' is not KEY@FRAME or KEY@FIRST-LAST";
            return false;
        }
        const std::string name = item.substr(0, at);
        const std::string range = item.substr(at + 1);
        const auto found = std::find_if(std::begin(KEY_NAMES), std::end(KEY_NAMES),
                                        [&](const key_name& k) { return name == k.name; });
        if (found == std::end(KEY_NAMES)) {
            error = "--keys: unknown key '" + name +
                    "' (known: up, down, left, right, q, a, escape, f1)";
            return false;
        }
        key_hold hold{found->code, 0, 0};
        const size_t dash = range.find('-');
        const bool ok = dash == std::string::npos
                            ? parse_count(range, 1, hold.first) && (hold.last = hold.first, true)
                            : parse_count(range.substr(0, dash), 1, hold.first) &&
                                  parse_count(range.substr(dash + 1), 1, hold.last);
        if (!ok || hold.last < hold.first) {
            error = "--keys: bad frame range '" + range + "' for key '" + name + "'";
            return false;
        }
        keys.push_back(hold);
    }
    return true;
}

bool parse_shot_list(const std::string& list, render_options& options, std::string& error)
{
    if (list == "all") {
        options.shot_all = true;
        return true;
    }
    for (const std::string& item : split(list, ',')) {
        long frame;
        if (!parse_count(item, 1, frame)) {
            error = "--shot: '" + item + "' is not a frame number (or use 'all')";
            return false;
        }
        options.shots.push_back(frame);
    }
    return true;
}

bool parse_host_size(const std::string& text, int& width, int& height, std::string& error)
{
    constexpr long SIDE_LIMIT = 16384;
    const size_t x = text.find('x');
    long w = 0, h = 0;
    if (x == std::string::npos || !parse_count(text.substr(0, x), 1, w) ||
        !parse_count(text.substr(x + 1), 1, h) || w > SIDE_LIMIT || h > SIDE_LIMIT) {
        error = "--host: '" + text + "' is not WIDTHxHEIGHT with sides from 1 to 16384";
        return false;
    }
    width = (int)w;
    height = (int)h;
    return true;
}

bool key_held(const std::vector<key_hold>& keys, int key, long frame)
{
    for (const key_hold& k : keys)
        if (k.key == key && frame >= k.first && frame <= k.last) return true;
    return false;
}

bool frame_wanted(const render_options& options, long frame)
{
    return options.shot_all ||
           std::find(options.shots.begin(), options.shots.end(), frame) != options.shots.end();
}

bool parse_render_options(int argc, const char* const* argv, render_options& options,
                          std::string& error)
{
    for (int k = 0; k < argc; ++k) {
        const std::string arg = argv[k];
        // Options that take a value read it from the next argument.
        // A value that looks like an option is taken for a forgotten value:
        // "--dump-world --frames 10" must not write a file named "--frames".
        auto value = [&](std::string& v) {
            if (k + 1 >= argc || argv[k + 1][0] == '\0') {
                error = arg + " needs a value";
                return false;
            }
            if (looks_like_option(argv[k + 1])) {
                error = arg + " needs a value, not the option '" + argv[k + 1] +
                        "' (a file of that name can be given as ./" + argv[k + 1] + ")";
                return false;
            }
            v = argv[++k];
            return true;
        };
        std::string v;
        if (arg == "--saver") {
            options.saver = true;
        } else if (arg == "--soft") {
            options.soft = true;
        } else if (arg == "--bench") {
            options.bench = true;
        } else if (arg == "--summary") {
            options.summary = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--icon") {
            if (!value(v)) return false;
            long size = 0;
            if (!parse_count(v, ICON_MIN_SIZE, size) || size > ICON_MAX_SIZE) {
                error = "--icon: '" + v + "' is not an icon size from " + std::to_string(ICON_MIN_SIZE) +
                        " to " + std::to_string(ICON_MAX_SIZE);
                return false;
            }
            options.icon_size = (int)size;
        } else if (arg == "--frames") {
            if (!value(v)) return false;
            if (!parse_count(v, 0, options.frames)) {
                error = "--frames: '" + v + "' is not a frame count from 0 to 100000000";
                return false;
            }
        } else if (arg == "--shot") {
            if (!value(v) || !parse_shot_list(v, options, error)) return false;
        } else if (arg == "--out") {
            if (!value(options.out)) return false;
            options.out_given = true;
        } else if (arg == "--dump-world") {
            if (!value(options.dump_world)) return false;
        } else if (arg == "--keys") {
            if (!value(v) || !parse_key_script(v, options.keys, error)) return false;
        } else if (arg == "--host") {
            if (!value(v) || !parse_host_size(v, options.host_width, options.host_height, error))
                return false;
        } else {
            error = "unknown option '" + arg + "' (see --help)";
            return false;
        }
    }
    if (options.icon_size != 0) {
        const bool other = options.saver || options.soft || options.bench || options.summary ||
                           options.frames != 0 || options.shot_all || !options.shots.empty() ||
                           !options.dump_world.empty() || !options.keys.empty();
        if (other) {
            error = "--icon renders the icon alone and takes no other option than --out";
            return false;
        }
        if (!options.out_given) options.out = "tarvelin-" + std::to_string(options.icon_size) + ".png";
    }
    if (options.saver && options.soft) {
        error = "--soft is a mode of the interactive program and cannot be used with --saver";
        return false;
    }
    for (long shot : options.shots)
        if (shot > options.frames) {
            error = "--shot: frame " + std::to_string(shot) + " is beyond the last frame (--frames " +
                    std::to_string(options.frames) + ")";
            return false;
        }
    if (options.dump_world == "-" && (options.bench || options.summary)) {
        error = "--dump-world - writes the dump to standard output and cannot be used with --bench or --summary";
        return false;
    }
    if (options.host_width > 0 && !options.saver) {
        error = "--host runs the screensaver in a host's window and needs --saver";
        return false;
    }
    return true;
}

const char* render_usage()
{
    return "usage: tarvelin_render [--saver [--host WxH]] [--soft] [--frames N] [--shot LIST|all]\n"
           "                       [--out DIR] [--keys SCRIPT] [--dump-world FILE] [--bench]\n"
           "                       [--summary]\n"
           "       tarvelin_render --icon SIZE [--out FILE]\n"
           "       tarvelin_render --help | --version\n"
           "  --saver           the screensaver's world and frame driver\n"
           "  --host WxH        the screensaver in a host's window of W x H pixels, as an X\n"
           "                    screensaver runs it: the picture fitted, bars around it\n"
           "  --soft            the interactive program's 640 x 480 soft mode\n"
           "  --frames N        run N frames (the title sequence comes first)\n"
           "  --shot LIST       comma-separated frame numbers to save as PNG, or 'all'\n"
           "  --out DIR         folder for the PNG files (default: shots)\n"
           "  --keys SCRIPT     keys held over frames, e.g. up@800-900,left@850-870,q@900\n"
           "                    (keys: up, down, left, right, q, a, escape, f1)\n"
           "  --dump-world FILE write the world state after the last frame ('-': standard output)\n"
           "  --bench           print frame-time figures and the generation time\n"
           "  --summary         print a summary of the generated world\n"
           "  --icon SIZE       render the program's icon, SIZE x SIZE pixels (16 to 512),\n"
           "                    to the PNG file FILE (default: tarvelin-SIZE.png)\n"
           "  --help            print this help\n"
           "  --version         print the version\n";
}
