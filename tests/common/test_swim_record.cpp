// Recorded swims: what the recorder writes reads back as the same keys, frame for frame, and the same camera.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/swim_record.h"
#include "common/world.h"

TEST(SwimRecord, KeysAndCameraReadBackExactly)
{
    // Keys going down and up at random, several in one frame, one held for a
    // single frame and one still held at the last frame.
    constexpr long FRAMES = 600;
    std::vector<std::vector<bool>> held(FRAMES + 1, std::vector<bool>(std::size(SCRIPT_KEYS)));
    swim_recorder recorder(false, false, true);
    uint32_t state = 7;
    bool keys[KEY_TABLE_SIZE] = {};
    for (long frame = 1; frame <= FRAMES; ++frame) {
        for (size_t i = 0; i < std::size(SCRIPT_KEYS); ++i) {
            state = state * 1103515245u + 12345u;
            if ((state >> 16) % 23 == 0) keys[SCRIPT_KEYS[i].code] = !keys[SCRIPT_KEYS[i].code];
        }
        keys[VK_CODE_F1] = frame == 300;
        keys[VK_CODE_ESCAPE] = frame >= 590;
        for (size_t i = 0; i < std::size(SCRIPT_KEYS); ++i) held[frame][i] = keys[SCRIPT_KEYS[i].code];
        recorder.frame(keys);
    }
    const swim_camera camera = {-0.0f, 1e-30f, 0.1f, 123456.79f, -89.0f};

    swim_record record;
    std::string error;
    ASSERT_TRUE(parse_swim_record(recorder.text(camera), record, error)) << error;
    EXPECT_FALSE(record.saver);
    EXPECT_FALSE(record.fullscreen);
    EXPECT_TRUE(record.soft);
    EXPECT_EQ(record.frames, FRAMES);
    for (long frame = 1; frame <= FRAMES; ++frame)
        for (size_t i = 0; i < std::size(SCRIPT_KEYS); ++i)
            ASSERT_EQ(key_held(record.keys, SCRIPT_KEYS[i].code, frame), held[frame][i])
                << SCRIPT_KEYS[i].name << " in frame " << frame;
    EXPECT_EQ(std::memcmp(&record.camera, &camera, sizeof camera), 0);
    EXPECT_EQ(camera_difference(camera, record.camera), "");

    // One step of a float is a difference, and the first one is named.
    swim_camera moved = camera;
    moved.yaw = std::nextafter(moved.yaw, 1e9f);
    moved.pitch = 0;
    EXPECT_EQ(camera_difference(camera, moved).rfind("yaw: recorded 123456.789, replayed 123456.797", 0), 0u)
        << camera_difference(camera, moved);
}

TEST(SwimRecord, DamagedRecordingsNameTheirLine)
{
    const std::string head = "tarvelin swim 1\nprogram tarvelin\nfullscreen yes\nsoft no\n";
    const std::string end = "camera x 1 y 2 z 3 yaw 4 pitch 5\n";
    const struct {
        std::string text, error;
    } cases[] = {
        {"tarvelin swim 2\n", "line 1: a recording of another version"},
        {head + "10 +up\n12 +up\nframes 20\n" + end, "line 6: '+up': the key is down already"},
        {head + "10 +up\n10 -up\nframes 20\n" + end, "line 6: expected a frame number after 10"},
        {head + "10 +up\n20 -up\nframes 19\n" + end, "line 7: expected 'frames N' with N from 20"},
        {head + "10 +up +jump\n", "line 5: '+jump' is not +KEY or -KEY"},
        {head + "frames 20\ncamera x 1 y 2 z 3 yaw nan pitch 5\n", "line 6: expected 'yaw NUMBER'"},
        {head + "frames 20\n", "line 6: the recording ends early (no camera line)"},
    };
    for (const auto& c : cases) {
        swim_record record;
        std::string error;
        EXPECT_FALSE(parse_swim_record(c.text, record, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
    // Lines ended as on Windows read the same.
    swim_record record;
    std::string error, text = head + "10 +up\nframes 20\n" + end;
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
    ASSERT_TRUE(parse_swim_record(text, record, error)) << error;
    ASSERT_EQ(record.keys.size(), 1u);
    EXPECT_EQ(record.keys[0].first, 10);
    EXPECT_EQ(record.keys[0].last, 20);
}
