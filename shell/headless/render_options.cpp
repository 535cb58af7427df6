// Command line of tarvelin_render: options and frame lists.
#include "shell/headless/render_options.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <utility>

#include "scene/icon.h"

namespace {

bool refuse(std::string& error, const std::string& message)
{
    error = message;
    return false;
}

// Options that are set by their name alone, and those that take a value.
constexpr std::pair<const char*, bool render_options::*> FLAGS[] = {
    {"--saver", &render_options::saver},     {"--soft", &render_options::soft},
    {"--bench", &render_options::bench},     {"--summary", &render_options::summary},
    {"--help", &render_options::help},       {"-h", &render_options::help},
    {"--version", &render_options::version},
};
const std::string VALUED[] = {"--icon", "--frames", "--shot",       "--out",
                              "--dump-world", "--keys", "--host", "--size", "--resolution", "--replay",
                              "--renderer"};

// "--name" or "-x": not "-" (standard output) and not a negative number,
// which the option's own check reports better.
bool looks_like_option(const char* text)
{
    return text[0] == '-' && (text[1] == '-' || std::isalpha((unsigned char)text[1]));
}

// WIDTHxHEIGHT within the offscreen frame's limits.
bool parse_size(const std::string& name, const std::string& v, int& width, int& height, std::string& error)
{
    const size_t x = v.find('x');
    long w = 0, h = 0;
    if (x == std::string::npos || !parse_count(v.substr(0, x), 1, FRAME_LIMIT, w) ||
        !parse_count(v.substr(x + 1), 1, FRAME_LIMIT, h))
        return refuse(error, name + ": '" + v + "' is not WIDTHxHEIGHT");
    if (w > FRAME_SIDE_LIMIT || h > FRAME_SIDE_LIMIT || w * h > FRAME_PIXEL_LIMIT)
        return refuse(error, name + ": " + v + " is too large: sides up to " + std::to_string(FRAME_SIDE_LIMIT) +
                                 " and no more pixels than 7680x4320");
    width = (int)w;
    height = (int)h;
    return true;
}

// The recorded swim in the file `path`, read whole (a recording is small:
// one line a key change).
bool read_recording(const std::string& path, render_options& options, std::string& error)
{
    constexpr size_t LARGEST = 64 << 20;
    std::ifstream file(path, std::ios::binary);
    std::string text;
    char chunk[1 << 16];
    while (file && text.size() <= LARGEST) {
        file.read(chunk, sizeof chunk);
        text.append(chunk, (size_t)file.gcount());
    }
    if (!file.eof()) return refuse(error, "--replay: cannot read '" + path + "'");
    if (text.size() > LARGEST) return refuse(error, "--replay: '" + path + "' is not a recording (over 64 MiB)");
    options.replay = path;
    return parse_swim_record(text, options.recording, error) ||
           refuse(error, "--replay: '" + path + "' " + error);
}

// The value of the option `name`.
bool parse_value(const std::string& name, const std::string& v, render_options& options, std::string& error)
{
    long count = 0;
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
        for (size_t start = 0, end = 0; v != "all" && end != std::string::npos; start = end + 1) {
            end = v.find(',', start);
            const std::string item = v.substr(start, end == std::string::npos ? end : end - start);
            if (!parse_count(item, 1, FRAME_LIMIT, count))
                return refuse(error, "--shot: '" + item + "' is not a frame number (or use 'all')");
            options.shots.push_back(count);
        }
    } else if (name == "--keys") {
        return parse_key_script(v, options.keys, error);
    } else if (name == "--replay") {
        return read_recording(v, options, error);
    } else if (name == "--renderer") {
        if (v != "gl" && v != "gles") return refuse(error, "--renderer: '" + v + "' is not gl or gles");
        options.gles = v == "gles";
    } else if (name == "--resolution") {
        if (v != "design" && v != "window") return refuse(error, "--resolution: '" + v + "' is not design or window");
        options.resolution = v == "design" ? RESOLUTION_DESIGN : RESOLUTION_WINDOW;
    } else {
        return name == "--host" ? parse_size(name, v, options.host_width, options.host_height, error)
                                : parse_size(name, v, options.size_width, options.size_height, error);
    }
    return true;
}

// The rules between options, once all are read.
bool check_combination(render_options& options, std::string& error)
{
    if (options.icon_size != 0) {
        if (options.saver || options.soft || options.bench || options.summary || options.frames != 0 ||
            options.shot_all || !options.shots.empty() || !options.dump_world.empty() || !options.keys.empty() ||
            !options.replay.empty())
            return refuse(error, "--icon renders the icon alone and takes no other option than --out");
        if (!options.out_given) options.out = "tarvelin-" + std::to_string(options.icon_size) + ".png";
    }
    if (!options.replay.empty()) {
        if (options.saver || options.soft || options.frames != 0 || !options.keys.empty())
            return refuse(error, "--replay takes the program, the soft mode, the keys and the frame count from the "
                                 "recording: no --saver, --soft, --keys or --frames with it");
        options.saver = options.recording.saver;
        options.soft = options.recording.soft;
        options.keys = options.recording.keys;
        options.frames = options.recording.frames;
    }
    if (options.saver && options.soft)
        return refuse(error, "--soft is a mode of the interactive program and cannot be used with --saver");
    const std::string last = " is beyond the last frame (--frames " + std::to_string(options.frames) + ")";
    for (long shot : options.shots)
        if (shot > options.frames) return refuse(error, "--shot: frame " + std::to_string(shot) + last);
    for (const key_hold& hold : options.keys)
        if (hold.last > options.frames) return refuse(error, "--keys: frame " + std::to_string(hold.last) + last);
    if (options.dump_world == "-" && (options.bench || options.summary))
        return refuse(error, "--dump-world - writes the dump to standard output and cannot be used with --bench "
                             "or --summary");
    if (options.host_width > 0 && !options.saver)
        return refuse(error, "--host runs the screensaver in a host's window and needs --saver");
    if (options.host_width > 0 && options.size_width > 0)
        return refuse(error, "--host and --size both give the window's size");
    return true;
}

}  // namespace

bool frame_wanted(const render_options& options, long frame)
{
    return options.shot_all || std::find(options.shots.begin(), options.shots.end(), frame) != options.shots.end();
}

bool parse_render_options(int argc, const char* const* argv, render_options& options, std::string& error)
{
    std::vector<std::string> given;  // options that take effect once
    for (int k = 0; k < argc; ++k) {
        // "--name=value" is "--name value".
        std::string arg = argv[k];
        const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        const std::string given_value = equals == std::string::npos ? "" : arg.substr(equals + 1);
        arg = arg.substr(0, equals);
        const auto flag = std::find_if(std::begin(FLAGS), std::end(FLAGS), [&](const auto& f) { return arg == f.first; });
        const bool valued = std::find(std::begin(VALUED), std::end(VALUED), arg) != std::end(VALUED);
        if (std::find(given.begin(), given.end(), arg) != given.end())
            return refuse(error, "'" + arg + "' is given twice; only --shot and --keys add up");
        if (arg != "--shot" && arg != "--keys" && arg != "--help" && arg != "-h") given.push_back(arg);
        if (flag != std::end(FLAGS) && equals != std::string::npos) {
            return refuse(error, "'" + arg + "' takes no value");
        } else if (flag != std::end(FLAGS)) {
            options.*flag->second = true;
        } else if (!valued) {
            return refuse(error, "unknown option '" + arg + "'");
        } else if (equals != std::string::npos) {
            if (given_value.empty()) return refuse(error, arg + " needs a value");
            if (!parse_value(arg, given_value, options, error)) return false;
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
