// Recorded swims: writing them frame by frame and reading them back as key holds.
#include "common/swim_record.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>

namespace {

// A float as the shortest-safe decimal that reads back as the same bits.
std::string float_text(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", (double)value);
    return text;
}

// A finite float, the whole word.
bool parse_float(const std::string& word, float& value)
{
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtof(word.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(value);
}

const char* const CAMERA_FIELDS[] = {"x", "y", "z", "yaw", "pitch"};

float* camera_field(swim_camera& camera, int i)
{
    float* const fields[] = {&camera.x, &camera.y, &camera.z, &camera.yaw, &camera.pitch};
    return fields[i];
}

}  // namespace

swim_recorder::swim_recorder(bool saver, bool fullscreen, bool soft)
{
    lines_ = std::string(SWIM_FIRST_LINE) + "\nprogram " + (saver ? "tarvelin_saver" : "tarvelin") +
             "\nfullscreen " + (fullscreen ? "yes" : "no") + "\nsoft " + (soft ? "yes" : "no") + "\n";
}

void swim_recorder::frame(const bool* keys)
{
    ++frames_;
    std::string changes;
    for (size_t i = 0; i < std::size(SCRIPT_KEYS); ++i) {
        const bool down = keys[SCRIPT_KEYS[i].code];
        if (down == down_[i]) continue;
        down_[i] = down;
        changes += std::string(" ") + (down ? "+" : "-") + SCRIPT_KEYS[i].name;
    }
    if (!changes.empty()) lines_ += std::to_string(frames_) + changes + "\n";
}

std::string swim_recorder::text(const swim_camera& camera) const
{
    std::string end = "frames " + std::to_string(frames_) + "\ncamera";
    swim_camera c = camera;
    for (int i = 0; i < 5; ++i) end += std::string(" ") + CAMERA_FIELDS[i] + " " + float_text(*camera_field(c, i));
    return lines_ + end + "\n";
}

bool parse_swim_record(const std::string& text, swim_record& record, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    int number = 0;
    long last_change = 0;   // frame of the last key line
    long down_since[std::size(SCRIPT_KEYS)] = {};  // 0: up
    enum { FIRST, PROGRAM, FULLSCREEN, SOFT, KEYS, CAMERA, END } expect = FIRST;
    const auto refuse = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    };
    // "yes" or "no" after `name`.
    const auto answer = [&](const std::string& name, bool& value) {
        if (line != name + " yes" && line != name + " no") return refuse("expected '" + name + " yes' or '" + name + " no'");
        value = line == name + " yes";
        return true;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();  // a file that went through Windows
        std::istringstream words(line);
        std::string word;
        words >> word;
        switch (expect) {
        case FIRST:
            if (line != SWIM_FIRST_LINE)
                return refuse(line.rfind("tarvelin swim ", 0) == 0 ? "a recording of another version ('" + line + "')"
                                                                    : "not a recorded swim");
            break;
        case PROGRAM:
            if (line != "program tarvelin" && line != "program tarvelin_saver")
                return refuse("expected 'program tarvelin' or 'program tarvelin_saver'");
            record.saver = line == "program tarvelin_saver";
            break;
        case FULLSCREEN:
            if (!answer("fullscreen", record.fullscreen)) return false;
            break;
        case SOFT:
            if (!answer("soft", record.soft)) return false;
            break;
        case KEYS:
            if (word == "frames") {
                std::string count, extra;
                words >> count;
                if (!parse_count(count, last_change, FRAME_LIMIT, record.frames) || words >> extra)
                    return refuse("expected 'frames N' with N from " + std::to_string(last_change) + " to " +
                                  std::to_string(FRAME_LIMIT));
                for (size_t i = 0; i < std::size(SCRIPT_KEYS); ++i)
                    if (down_since[i]) record.keys.push_back({SCRIPT_KEYS[i].code, down_since[i], record.frames});
                expect = CAMERA;
                continue;
            } else {
                long frame = 0;
                if (!parse_count(word, last_change + 1, FRAME_LIMIT, frame))
                    return refuse("expected a frame number after " + std::to_string(last_change) + ", or 'frames N'");
                last_change = frame;
                bool any = false;
                while (words >> word) {
                    size_t i = 0;
                    while (i < std::size(SCRIPT_KEYS) && word.substr(1) != SCRIPT_KEYS[i].name) ++i;
                    const bool down = word[0] == '+';
                    if ((!down && word[0] != '-') || i == std::size(SCRIPT_KEYS))
                        return refuse("'" + word + "' is not +KEY or -KEY (keys: up, down, left, right, q, a, escape, f1)");
                    if (down == (down_since[i] != 0))
                        return refuse("'" + word + "': the key is " + (down ? "down" : "up") + " already");
                    if (!down) record.keys.push_back({SCRIPT_KEYS[i].code, down_since[i], frame - 1});
                    down_since[i] = down ? frame : 0;
                    any = true;
                }
                if (!any) return refuse("frame " + std::to_string(frame) + " with no key");
            }
            continue;
        case CAMERA: {
            if (word != "camera") return refuse("expected the camera line");
            for (int i = 0; i < 5; ++i) {
                std::string name, value;
                words >> name >> value;
                if (name != CAMERA_FIELDS[i] || !parse_float(value, *camera_field(record.camera, i)))
                    return refuse(std::string("expected '") + CAMERA_FIELDS[i] + " NUMBER' in the camera line");
            }
            if (words >> word) return refuse("'" + word + "' after the camera's pitch");
            break;
        }
        case END:
            if (!line.empty()) return refuse("text after the camera line");
            continue;
        }
        expect = (decltype(expect))(expect + 1);
    }
    if (expect == END) return true;
    ++number;
    return refuse("the recording ends early (no " +
                  std::string(expect == CAMERA ? "camera line" : expect == KEYS ? "'frames N' line" : "header") + ")");
}

std::string camera_difference(const swim_camera& recorded, const swim_camera& replayed)
{
    swim_camera a = recorded, b = replayed;
    for (int i = 0; i < 5; ++i) {
        const std::string was = float_text(*camera_field(a, i)), is = float_text(*camera_field(b, i));
        if (was != is) return std::string(CAMERA_FIELDS[i]) + ": recorded " + was + ", replayed " + is;
    }
    return "";
}
