// The world dump: "TVWD", version 1, then tagged sections until end of file.
// Each section is produced twice: once counting its bytes for the length in
// its header, once writing them, so no section is ever held in memory.
// The summary at the end describes the same world in a few lines of text.
#include "scene/world_dump.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/world.h"

namespace {

// Little-endian byte writer: counts the bytes when it has no piece buffer,
// otherwise fills the buffer and hands each full piece to the sink.
class dump_writer {
public:
    dump_writer() = default;  // counts only
    dump_writer(const dump_sink& sink, unsigned char* piece) : sink_(&sink), piece_(piece) {}

    uint64_t count() const { return count_; }
    bool ok() const { return ok_; }

    void u8(uint8_t v)
    {
        ++count_;
        if (!piece_) return;
        if (used_ == DUMP_PIECE_SIZE) flush();
        piece_[used_++] = v;
    }
    void u32(uint32_t v)
    {
        for (int k = 0; k < 4; ++k) u8((uint8_t)(v >> (8 * k)));
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
        if (!piece_ || !ok_) {
            count_ += 4 * (uint64_t)n;
            return;
        }
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        // The float's own bytes are already in file order.
        bytes(reinterpret_cast<const unsigned char*>(v), 4 * n);
#else
        for (size_t k = 0; k < n; ++k) f32(v[k]);
#endif
    }
    void bytes(const unsigned char* v, size_t n)
    {
        count_ += n;
        if (!piece_ || !ok_) return;
        while (n > 0) {
            if (used_ == DUMP_PIECE_SIZE) flush();
            const size_t room = DUMP_PIECE_SIZE - used_;
            const size_t take = n < room ? n : room;
            std::memcpy(piece_ + used_, v, take);
            used_ += take;
            v += take;
            n -= take;
        }
    }
    void flush()
    {
        if (piece_ && used_ > 0 && ok_) ok_ = (*sink_)(piece_, used_);
        used_ = 0;
    }

private:
    const dump_sink* sink_ = nullptr;
    unsigned char* piece_ = nullptr;
    uint64_t count_ = 0;
    bool ok_ = true;
    size_t used_ = 0;
};

void weed_section(dump_writer& b, const weed_record* table, int32_t count)
{
    b.i32(count);
    for (int32_t r = 0; r < count; ++r) {
        const weed_record& w = table[r];
        const int n = w.point_count;
        b.i32(n);
        b.floats(&w.points[0][0], 3 * (size_t)n);
        b.floats(&w.colors[0][0], 3 * (size_t)n);
        b.floats(w.sway, (size_t)n);
        b.bytes(w.swaying_back, (size_t)n);
    }
}

// One section: tag, payload length, payload.
template <class Fill>
void section(dump_writer& out, const char tag[5], Fill fill)
{
    dump_writer measure;
    fill(measure);
    for (int k = 0; k < 4; ++k) out.u8((uint8_t)tag[k]);
    out.u32((uint32_t)measure.count());
    fill(out);
}

}  // namespace

bool write_world_dump(const dump_sink& sink)
{
    std::vector<unsigned char> piece(DUMP_PIECE_SIZE);
    dump_writer out(sink, piece.data());

    for (char c : {'T', 'V', 'W', 'D'}) out.u8((uint8_t)c);
    out.u32(1);

    section(out, "RAND", [](dump_writer& b) { b.u32(world.random_state); });
    section(out, "TITL", [](dump_writer& b) {
        for (const title_point& p : world.title_points) {
            b.f32(p.x);
            b.f32(p.y);
            b.f32(p.z);
            b.i32(p.kind);
        }
    });
    section(out, "BEDH", [](dump_writer& b) { b.floats(&world.bed_height[0][0], (size_t)BED_SIZE * BED_SIZE); });
    section(out, "BEDC", [](dump_writer& b) {
        b.floats(&world.bed_colour[0][0][0], (size_t)BED_SIZE * BED_SIZE * 4);
    });
    section(out, "RIBB", [](dump_writer& b) { weed_section(b, world.ribbon_table, world.ribbon_count); });
    section(out, "LEAF", [](dump_writer& b) { weed_section(b, world.leaf_table, world.leaf_count); });
    section(out, "FISH", [](dump_writer& b) {
        b.i32(FISH_COUNT);
        for (const fish_record& f : world.fish_table) {
            for (float v : {f.x, f.y, f.z, f.pitch, f.yaw, f.speed, f.tail_phase}) b.f32(v);
            b.u8(f.tail_rising ? 1 : 0);
            for (int32_t v : {f.yaw_turn, f.yaw_turn_done, f.pitch_turn, f.pitch_turn_done}) b.i32(v);
        }
    });
    section(out, "CAMR", [](dump_writer& b) {
        for (float v : {world.camera_x, world.camera_y, world.camera_z, world.camera_pitch,
                        world.camera_yaw, world.camera_speed})
            b.f32(v);
    });
    section(out, "BUBL", [](dump_writer& b) {
        b.i32(BUBBLE_COUNT);
        for (const bubble_record& r : world.bubble_table) {
            for (float v : {r.x, r.y, r.rise_speed, r.swing, r.swing_step, r.radius}) b.f32(v);
            b.u8(r.swing_growing ? 1 : 0);
        }
        b.u8(world.bubbles_pending ? 1 : 0);
    });
    section(out, "FCNT", [](dump_writer& b) { b.i32(world.fish_drawn_count); });
    section(out, "INST", [](dump_writer& b) {
        b.f32(world.sounder_sweep);
        b.f32(world.sounder_reading);
        b.i32(world.sounder_tick);
        b.f32(world.finder_sweep);
        b.i32(world.finder_reading);
        b.i32(world.finder_tick);
    });
    out.flush();
    return out.ok();
}

void print_world_summary(FILE* out, double generation_seconds)
{
    const float* bed = &world.bed_height[0][0];
    const auto heights = std::minmax_element(bed, bed + BED_SIZE * BED_SIZE);
    std::fprintf(out, "%s world generated in %.3f s\n", world.saver_build ? "screensaver" : "interactive",
                 generation_seconds);
    std::fprintf(out, "  lake bed: %d x %d vertices, heights %.3f to %.3f (centre %.3f)\n", BED_SIZE, BED_SIZE,
                 *heights.first, *heights.second, world.bed_height[1000][1000]);
    std::fprintf(out, "  plants: %d ribbon weeds, %d red leaves\n", world.ribbon_count, world.leaf_count);
    std::fprintf(out, "  fish: %d\n", FISH_COUNT);
    std::fprintf(out, "  camera: (%.1f, %.1f, %.1f), yaw %.0f, pitch %.0f\n", world.camera_x, world.camera_y,
                 world.camera_z, world.camera_yaw, world.camera_pitch);
}
