// Key scripts and the frame numbers in them.
#include "common/key_script.h"

#include <algorithm>
#include <cstdlib>

bool parse_count(const std::string& text, long minimum, long maximum, long& value)
{
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= minimum && value <= maximum;
}

namespace {

bool refuse(std::string& error, const std::string& message)
{
    error = message;
    return false;
}

}  // namespace

bool parse_key_script(const std::string& script, std::vector<key_hold>& keys, std::string& error)
{
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = script.find(',', start);
        const std::string item = script.substr(start, end == std::string::npos ? end : end - start);
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
