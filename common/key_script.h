// Key scripts: which keys are held in which frames, as "up@800-900,left@850-870,q@900".
#pragma once
#include <string>
#include <vector>

#include "common/keys.h"

// The keys a script can hold, by name, in the order their events are sent.
struct script_key {
    const char* name;
    int code;  // virtual-key code
};
constexpr script_key SCRIPT_KEYS[] = {
    {"up", VK_CODE_UP}, {"down", VK_CODE_DOWN}, {"left", VK_CODE_LEFT},     {"right", VK_CODE_RIGHT},
    {"q", VK_CODE_Q},   {"a", VK_CODE_A},       {"escape", VK_CODE_ESCAPE}, {"f1", VK_CODE_F1},
};

// Largest frame number accepted anywhere; keeps arithmetic on frames safe.
constexpr long FRAME_LIMIT = 100000000;

// A key held over an inclusive range of frames (frames count from 1).
struct key_hold {
    int key;  // virtual-key code
    long first, last;
};

// Digits only, from `minimum` to `maximum`.
bool parse_count(const std::string& text, long minimum, long maximum, long& value);

// Parses a key script, adding its holds to `keys`. On a mistake false with a
// one-line message in `error`.
bool parse_key_script(const std::string& script, std::vector<key_hold>& keys, std::string& error);

// True when `key` is held in frame `frame` according to the script.
bool key_held(const std::vector<key_hold>& keys, int key, long frame);
