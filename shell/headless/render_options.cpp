// Command line of tarvelin_render: options, key scripts and frame lists.
#include "shell/headless/render_options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

#include "scene/icon.h"

namespace {

// Largest frame number accepted anywhere; keeps arithmetic on frames safe.
constexpr long FRAME_LIMIT = 100000000;

bool refuse(std::string& error, const std::string& message)
{
    error = message;
    return false;
}

// Digits only, from `minimum` to `maximum`.
bool parse_count(const std::string& text, long minimum, long maximum, long& value)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= minimum && value <= maximum;
}

// Options that are set by their name alone, and those that take a value.
constexpr std::pair<const char*, bool render_options::*> FLAGS[] = {
    {"--saver", &render_options::saver},     {"--soft", &render_options::soft},
    {"--bench", &render_options::bench},     {"--summary", &render_options::summary},
    {"--help", &render_options::help},       {"-h", &render_options::help},
    {"--version", &render_options::version},
};
const std::string VALUED[] = {"--icon", "--frames", "--shot", "--out", "--dump-world", "--keys", "--host"};

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

// "--name" or "-x": not "-" (standard output) and not a negative number,
// which the option's own check reports better.
bool looks_like_option(const char* text)
{
    return text[0] == '-' && (text[1] == '-' || std::isalpha((unsigned char)text[1]));
}

// The value of the option `name`.
bool parse_value(const std::string& name, const std::string& v, render_options& options, std::string& error)
{
    long count = 0, w = 0, h = 0;
    if (name == "--icon") {
        if (!parse_count(v, ICON_MIN_SIZE, ICON_MAX_SIZE, count))
            return refuse(error, "--icon: '" + v + "' is not an icon size from " + std::to_string(ICON_MIN_SIZE) +
                                     " to " + std::to_string(ICON_MAX_SIZE));
        options.icon_size = (int)count;
    } else if (name == "--frames") {
        if (!parse_count(v, 0, FRAME_LIMIT, options.frames))
            return refuse(error, "--frames: '" + v + "' is not a frame count from 0 to 100000000");
    } else if (name == "--out") {
        options.out = v;
        options.out_given = true;
    } else if (name == "--dump-world") {
        options.dump_world = v;
    } else if (name == "--shot") {
        options.shot_all = options.shot_all || v == "all";
        for (const std::string& item : v == "all" ? std::vector<std::string>() : split(v, ',')) {
            if (!parse_count(item, 1, FRAME_LIMIT, count))
                return refuse(error, "--shot: '" + item + "' is not a frame number (or use 'all')");
            options.shots.push_back(count);
        }
    } else if (name == "--keys") {
        return parse_key_script(v, options.keys, error);
    } else {  // --host WxH
        const size_t x = v.find('x');
        if (x == std::string::npos || !parse_count(v.substr(0, x), 1, 16384, w) ||
            !parse_count(v.substr(x + 1), 1, 16384, h))
            return refuse(error, "--host: '" + v + "' is not WIDTHxHEIGHT with sides from 1 to 16384");
        options.host_width = (int)w;
        options.host_height = (int)h;
    }
    return true;
}

// The rules between options, once all are read.
bool check_combination(render_options& options, std::string& error)
{
    if (options.icon_size != 0) {
        if (options.saver || options.soft || options.bench || options.summary || options.frames != 0 ||
            options.shot_all || !options.shots.empty() || !options.dump_world.empty() || !options.keys.empty())
            return refuse(error, "--icon renders the icon alone and takes no other option than --out");
        if (!options.out_given) options.out = "tarvelin-" + std::to_string(options.icon_size) + ".png";
    }
    if (options.saver && options.soft)
        return refuse(error, "--soft is a mode of the interactive program and cannot be used with --saver");
    for (long shot : options.shots)
        if (shot > options.frames)
            return refuse(error, "--shot: frame " + std::to_string(shot) + " is beyond the last frame (--frames " +
                                     std::to_string(options.frames) + ")");
    if (options.dump_world == "-" && (options.bench || options.summary))
        return refuse(error, "--dump-world - writes the dump to standard output and cannot be used with --bench "
                             "or --summary");
    if (options.host_width > 0 && !options.saver)
        return refuse(error, "--host runs the screensaver in a host's window and needs --saver");
    return true;
}

}  // namespace

bool parse_key_script(const std::string& script, std::vector<key_hold>& keys, std::string& error)
{
    for (const std::string& item : split(script, ',')) {
        const size_t at = item.find('@');
        if (at == std::string::npos) return refuse(error, "--keys: '" + item + "' is not KEY@FRAME or KEY@FIRST-LAST");
        const std::string name = item.substr(0, at), range = item.substr(at + 1);
        const auto found = std::find_if(std::begin(SCRIPT_KEYS), std::end(SCRIPT_KEYS),
                                        [&](const script_key& k) { return name == k.name; });
        if (found == std::end(SCRIPT_KEYS))
            return refuse(error,
                          "--keys: unknown key '" + name + "' (known: up, down, left, right, q, a, escape, f1)");
        key_hold hold{found->code, 0, 0};
        const size_t dash = range.find('-');  // none: a single frame
        if (!parse_count(range.substr(0, dash), 1, FRAME_LIMIT, hold.first) ||
            !parse_count(range.substr(dash == std::string::npos ? 0 : dash + 1), 1, FRAME_LIMIT, hold.last) ||
            hold.last < hold.first)
            return refuse(error, "--keys: bad frame range '" + range + "' for key '" + name + "'");
        keys.push_back(hold);
    }
    return true;
}

bool key_held(const std::vector<key_hold>& keys, int key, long frame)
{
    return std::any_of(keys.begin(), keys.end(),
                       [&](const key_hold& k) { return k.key == key && frame >= k.first && frame <= k.last; });
}

bool frame_wanted(const render_options& options, long frame)
{
    return options.shot_all || std::find(options.shots.begin(), options.shots.end(), frame) != options.shots.end();
}

bool parse_render_options(int argc, const char* const* argv, render_options& options, std::string& error)
{
    for (int k = 0; k < argc; ++k) {
        const std::string arg = argv[k];
        const auto flag = std::find_if(std::begin(FLAGS), std::end(FLAGS), [&](const auto& f) { return arg == f.first; });
        if (flag != std::end(FLAGS)) {
            options.*flag->second = true;
        } else if (std::find(std::begin(VALUED), std::end(VALUED), arg) == std::end(VALUED)) {
            return refuse(error, "unknown option '" + arg + "' (see --help)");
        } else if (k + 1 >= argc || argv[k + 1][0] == '\0') {
            return refuse(error, arg + " needs a value");
        } else if (looks_like_option(argv[k + 1])) {
            // Taken for a forgotten value: "--dump-world --frames 10" must
            // not write a file named "--frames".
            return refuse(error, arg + " needs a value, not the option '" + argv[k + 1] +
                                     "' (a file of that name can be given as ./" + argv[k + 1] + ")");
        } else if (!parse_value(arg, argv[++k], options, error)) {
            return false;
        }
    }
    return check_combination(options, error);
}
