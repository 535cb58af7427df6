// The world dump: "TVWD", version 1, then tagged sections until end of file.
#include "scene/world_dump.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/world.h"

namespace {

// Little-endian byte writer for one section's payload.
struct byte_buffer {
    std::vector<unsigned char> bytes;

    void u8(uint8_t v) { bytes.push_back(v); }
    void u32(uint32_t v)
    {
        for (int k = 0; k < 4; ++k) bytes.push_back((unsigned char)(v >> (8 * k)));
    }
    void i32(int32_t v) { u32((uint32_t)v); }
    void f32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void floats(const float* v, size_t n)
    {
        bytes.reserve(bytes.size() + 4 * n);
        for (size_t k = 0; k < n; ++k) f32(v[k]);
    }
};

void weed_section(byte_buffer& b, const weed_record* table, int32_t count)
{
    b.i32(count);
    for (int32_t r = 0; r < count; ++r) {
        const weed_record& w = table[r];
        const int n = w.point_count;
        b.i32(n);
        b.floats(&w.points[0][0], 3 * (size_t)n);
        b.floats(&w.colors[0][0], 3 * (size_t)n);
        b.floats(w.sway, (size_t)n);
        for (int k = 0; k < n; ++k) b.u8(w.swaying_back[k]);
    }
}

bool write_section(FILE* file, const char tag[5], const byte_buffer& payload)
{
    byte_buffer head;
    for (int k = 0; k < 4; ++k) head.u8((uint8_t)tag[k]);
    head.u32((uint32_t)payload.bytes.size());
    return std::fwrite(head.bytes.data(), 1, head.bytes.size(), file) == head.bytes.size() &&
           std::fwrite(payload.bytes.data(), 1, payload.bytes.size(), file) ==
               payload.bytes.size();
}

}  // namespace

bool write_world_dump(const char* path, std::string& error)
{
    // Written beside the target and renamed at the end, so a failed write
    // leaves neither a partial dump nor a damaged earlier one.
    const std::string partial = std::string(path) + ".partial";
    FILE* file = std::fopen(partial.c_str(), "wb");
    if (!file) {
        error = std::string("cannot write world dump '") + path + "': " + std::strerror(errno);
        return false;
    }
    bool ok = true;
    auto section = [&](const char tag[5], auto fill) {
        if (!ok) return;
        byte_buffer b;
        fill(b);
        ok = write_section(file, tag, b);
    };

    byte_buffer head;
    for (char c : {'T', 'V', 'W', 'D'}) head.u8((uint8_t)c);
    head.u32(1);
    ok = std::fwrite(head.bytes.data(), 1, head.bytes.size(), file) == head.bytes.size();

    section("RAND", [](byte_buffer& b) { b.u32(world.random_state); });
    section("TITL", [](byte_buffer& b) {
        for (const title_point& p : world.title_points) {
            b.f32(p.x);
            b.f32(p.y);
            b.f32(p.z);
            b.i32(p.kind);
        }
    });
    section("BEDH", [](byte_buffer& b) { b.floats(&world.bed_height[0][0], (size_t)BED_SIZE * BED_SIZE); });
    section("BEDC", [](byte_buffer& b) {
        b.floats(&world.bed_colour[0][0][0], (size_t)BED_SIZE * BED_SIZE * 4);
    });
    section("RIBB", [](byte_buffer& b) { weed_section(b, world.ribbon_table, world.ribbon_count); });
    section("LEAF", [](byte_buffer& b) { weed_section(b, world.leaf_table, world.leaf_count); });
    section("FISH", [](byte_buffer& b) {
        b.i32(FISH_COUNT);
        for (const fish_record& f : world.fish_table) {
            for (float v : {f.x, f.y, f.z, f.pitch, f.yaw, f.speed, f.tail_phase}) b.f32(v);
            b.u8(f.tail_rising ? 1 : 0);
            for (int32_t v : {f.yaw_turn, f.yaw_turn_done, f.pitch_turn, f.pitch_turn_done}) b.i32(v);
        }
    });
    section("CAMR", [](byte_buffer& b) {
        for (float v : {world.camera_x, world.camera_y, world.camera_z, world.camera_pitch,
                        world.camera_yaw, world.camera_speed})
            b.f32(v);
    });
    section("BUBL", [](byte_buffer& b) {
        b.i32(BUBBLE_COUNT);
        for (const bubble_record& r : world.bubble_table) {
            for (float v : {r.x, r.y, r.rise_speed, r.swing, r.swing_step, r.radius}) b.f32(v);
            b.u8(r.swing_growing ? 1 : 0);
        }
        b.u8(world.bubbles_pending ? 1 : 0);
    });
    section("FCNT", [](byte_buffer& b) { b.i32(world.fish_drawn_count); });
    section("INST", [](byte_buffer& b) {
        b.f32(world.sounder_sweep);
        b.f32(world.sounder_reading);
        b.i32(world.sounder_tick);
        b.f32(world.finder_sweep);
        b.i32(world.finder_reading);
        b.i32(world.finder_tick);
    });

    if (std::fclose(file) != 0) ok = false;
    if (!ok) {
        error = std::string("writing world dump '") + path + "' failed: " + std::strerror(errno);
        std::remove(partial.c_str());
        return false;
    }
    if (std::rename(partial.c_str(), path) != 0) {
        error = std::string("cannot write world dump '") + path + "': " + std::strerror(errno);
        std::remove(partial.c_str());
        return false;
    }
    return true;
}
