// World dump: section layout, values, and failure without a partial file.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "scene/world_dump.h"
#include "shell/headless/output_file.h"
#include "tests/support/test_world.h"

namespace {

std::vector<unsigned char> read_file(const std::string& path)
{
    std::vector<unsigned char> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    unsigned char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return bytes;
}

uint32_t u32_at(const std::vector<unsigned char>& b, size_t at)
{
    return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}

float f32_at(const std::vector<unsigned char>& b, size_t at)
{
    const uint32_t bits = u32_at(b, at);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

struct section {
    size_t offset;  // of the payload
    uint32_t length;
};

// Walks the sections as a reader would; tags in file order.
std::vector<std::pair<std::string, section>> sections_of(const std::vector<unsigned char>& b)
{
    std::vector<std::pair<std::string, section>> out;
    size_t at = 8;
    while (at + 8 <= b.size()) {
        const std::string tag(b.begin() + at, b.begin() + at + 4);
        const uint32_t length = u32_at(b, at + 4);
        out.push_back({tag, {at + 8, length}});
        at += 8 + (size_t)length;
    }
    EXPECT_EQ(at, b.size()) << "sections must end exactly at the end of the file";
    return out;
}

std::string temp_path(const char* name)
{
    return (std::string(::testing::TempDir()) + name);
}

}  // namespace

TEST(WorldDump, SectionsInOrderWithTheWorldsValues)
{
    use_generated_world(true);
    world.camera_yaw = 12.5f;
    world.fish_table[7].tail_rising = true;
    world.fish_table[7].pitch_turn = -17;
    const std::string path = temp_path("dump-saver.tvwd");
    std::string error;
    ASSERT_TRUE(write_world_dump(path.c_str(), error)) << error;
    const std::vector<unsigned char> b = read_file(path);
    ASSERT_GT(b.size(), 80000000u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "TVWD");
    EXPECT_EQ(u32_at(b, 4), 1u);

    const auto found = sections_of(b);
    std::vector<std::string> tags;
    std::map<std::string, section> by_tag;
    for (const auto& s : found) {
        tags.push_back(s.first);
        by_tag[s.first] = s.second;
    }
    const std::vector<std::string> first_tags = {"RAND", "TITL", "BEDH", "BEDC", "RIBB", "LEAF", "FISH", "CAMR"};
    ASSERT_GE(tags.size(), first_tags.size());
    EXPECT_EQ(std::vector<std::string>(tags.begin(), tags.begin() + 8), first_tags);

    EXPECT_EQ(u32_at(b, by_tag["RAND"].offset), world.random_state);
    EXPECT_EQ(by_tag["TITL"].length, 500u * 16);
    EXPECT_EQ(f32_at(b, by_tag["TITL"].offset + 16 * 3 + 8), world.title_points[3].z);
    EXPECT_EQ(by_tag["BEDH"].length, 2000u * 2000 * 4);
    EXPECT_EQ(f32_at(b, by_tag["BEDH"].offset + 4 * (1000 * 2000 + 995)), world.bed_height[1000][995]);
    EXPECT_EQ(by_tag["BEDC"].length, 2000u * 2000 * 16);
    EXPECT_EQ(f32_at(b, by_tag["BEDC"].offset + 16 * (1000 * 2000 + 1000) + 8), world.bed_colour[1000][1000][2]);

    // Ribbon records: count, then per record its points, colours, sway and flags.
    size_t at = by_tag["RIBB"].offset;
    EXPECT_EQ(u32_at(b, at), 500u);
    at += 4;
    const weed_record& r0 = world.ribbon_table[0];
    EXPECT_EQ((int32_t)u32_at(b, at), r0.point_count);
    const size_t n = (size_t)r0.point_count;
    EXPECT_EQ(f32_at(b, at + 4 + 4 * (3 * 2 + 1)), r0.points[2][1]);
    EXPECT_EQ(f32_at(b, at + 4 + 12 * n), r0.colors[0][0]);
    EXPECT_EQ(f32_at(b, at + 4 + 24 * n + 4 * (n / 2)), r0.sway[n / 2]);
    EXPECT_EQ(b[at + 4 + 28 * n + n / 2], r0.swaying_back[n / 2]);
    size_t ribbon_bytes = 4;
    for (int r = 0; r < world.ribbon_count; ++r) ribbon_bytes += 4 + 29 * (size_t)world.ribbon_table[r].point_count;
    EXPECT_EQ(by_tag["RIBB"].length, ribbon_bytes);
    EXPECT_EQ(by_tag["LEAF"].length, 4 + (size_t)world.leaf_count * (4 + 29 * 4));

    // Fish records are 45 bytes, unpadded.
    EXPECT_EQ(by_tag["FISH"].length, 4u + 20000u * 45);
    const size_t fish7 = by_tag["FISH"].offset + 4 + 45 * 7;
    EXPECT_EQ(f32_at(b, fish7), world.fish_table[7].x);
    EXPECT_EQ(f32_at(b, fish7 + 16), world.fish_table[7].yaw);
    EXPECT_EQ(b[fish7 + 28], 1);
    EXPECT_EQ((int32_t)u32_at(b, fish7 + 29 + 8), -17);

    EXPECT_EQ(by_tag["CAMR"].length, 24u);
    EXPECT_EQ(f32_at(b, by_tag["CAMR"].offset), 300.0f);
    EXPECT_EQ(f32_at(b, by_tag["CAMR"].offset + 16), 12.5f);
    std::remove(path.c_str());
}

TEST(WorldDump, UnwritablePathFailsWithAMessageAndNoFile)
{
    use_generated_world();
    std::string error;
    EXPECT_FALSE(write_world_dump("/nonexistent-folder/sub/world.tvwd", error));
    EXPECT_NE(error.find("/nonexistent-folder/sub/world.tvwd"), std::string::npos);

    // A write that fails half way (here: a file-size limit of 1 MB) reports
    // failure and leaves neither the partial file nor a damaged earlier dump.
    const std::string path = temp_path("dump-limited.tvwd");
    FILE* earlier = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(earlier);
    std::fputs("earlier", earlier);
    std::fclose(earlier);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    error.clear();
    const bool written = write_world_dump(path.c_str(), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(read_file(path + ".partial").size(), 0u);
    const std::vector<unsigned char> kept = read_file(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "earlier");
    std::remove(path.c_str());
}

namespace {

// Keeps what a dump hands over, and how: the largest piece, and whether any
// piece came after the sink refused one.
class recording_sink {
public:
    explicit recording_sink(long refuse_at = -1) : refuse_at_(refuse_at) {}
    bool operator()(const void* bytes, size_t size)
    {
        ++pieces;
        if (refused) ++after_refusal;
        largest = std::max(largest, size);
        if (refuse_at_ >= 0 && pieces > refuse_at_) {
            refused = true;
            return false;
        }
        const auto* p = static_cast<const unsigned char*>(bytes);
        data.insert(data.end(), p, p + size);
        return true;
    }
    std::vector<unsigned char> data;
    long pieces = 0, after_refusal = 0;
    size_t largest = 0;
    bool refused = false;

private:
    long refuse_at_;
};

}  // namespace

TEST(WorldDump, StreamedInBoundedPiecesTheSameBytesAsTheFile)
{
    use_generated_world(false);
    world.camera_pitch = -3.25f;
    recording_sink sink;
    ASSERT_TRUE(write_world_dump(std::ref(sink)));
    EXPECT_LE(sink.largest, DUMP_PIECE_SIZE);
    EXPECT_GT(sink.pieces, 1000) << "the dump was not streamed in pieces";
    const std::string path = temp_path("dump-streamed.tvwd");
    std::string error;
    ASSERT_TRUE(write_world_dump(path.c_str(), error)) << error;
    const std::vector<unsigned char> file = read_file(path);
    EXPECT_TRUE(sink.data == file) << "sink " << sink.data.size() << " bytes, file " << file.size();
    sections_of(sink.data);
    std::remove(path.c_str());

    // A sink that refuses a piece ends the dump: failure, and nothing more is handed over.
    recording_sink refusing(40);
    EXPECT_FALSE(write_world_dump(std::ref(refusing)));
    EXPECT_TRUE(refusing.refused);
    EXPECT_EQ(refusing.after_refusal, 0);
}

TEST(WorldDump, InstrumentSectionHoldsTheSixDialFields)
{
    reset_world(false);
    world.sounder_sweep = 330;
    world.sounder_reading = 12.5f;
    world.sounder_tick = 2;
    world.finder_sweep = 70;
    world.finder_reading = -4;
    world.finder_tick = 3;
    const std::string path = std::string(::testing::TempDir()) + "dump-inst.tvwd";
    std::string error;
    ASSERT_TRUE(write_world_dump(path.c_str(), error)) << error;

    std::vector<unsigned char> b;
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_TRUE(f);
    unsigned char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) b.insert(b.end(), chunk, chunk + n);
    std::fclose(f);
    std::remove(path.c_str());

    auto u32_at = [&](size_t at) {
        return (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 |
               (uint32_t)b[at + 3] << 24;
    };
    auto f32_at = [&](size_t at) {
        const uint32_t bits = u32_at(at);
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    };
    size_t at = 8, inst = 0;
    std::string previous;
    while (at + 8 <= b.size()) {
        const std::string tag(b.begin() + (long)at, b.begin() + (long)at + 4);
        if (tag == "INST") {
            EXPECT_EQ(previous, "FCNT");  // after the camera, bubbles and fish count
            ASSERT_EQ(u32_at(at + 4), 24u);
            inst = at + 8;
        }
        previous = tag;
        at += 8 + (size_t)u32_at(at + 4);
    }
    ASSERT_EQ(at, b.size());
    ASSERT_NE(inst, 0u) << "no INST section";
    EXPECT_EQ(f32_at(inst), 330.0f);
    EXPECT_EQ(f32_at(inst + 4), 12.5f);
    EXPECT_EQ((int32_t)u32_at(inst + 8), 2);
    EXPECT_EQ(f32_at(inst + 12), 70.0f);
    EXPECT_EQ((int32_t)u32_at(inst + 16), -4);
    EXPECT_EQ((int32_t)u32_at(inst + 20), 3);
}
