// tarvelin_render's command line: options, key scripts and frame lists.
#include <gtest/gtest.h>

#include "common/keys.h"
#include "shell/headless/render_options.h"

namespace {

bool parse(std::initializer_list<const char*> args, render_options& options, std::string& error)
{
    std::vector<const char*> argv(args);
    return parse_render_options((int)argv.size(), argv.data(), options, error);
}

}  // namespace

TEST(RenderOptions, AcceptsTheFullSet)
{
    render_options o;
    std::string error;
    ASSERT_TRUE(parse({"--saver", "--frames", "900", "--shot", "1,800,900", "--out", "tour", "--keys",
                       "escape@850-900,f1@12", "--dump-world", "w.tvwd", "--bench"},
                      o, error))
        << error;
    EXPECT_TRUE(o.saver);
    EXPECT_TRUE(o.bench);
    EXPECT_EQ(o.frames, 900);
    EXPECT_EQ(o.shots, (std::vector<long>{1, 800, 900}));
    EXPECT_EQ(o.out, "tour");
    EXPECT_EQ(o.dump_world, "w.tvwd");
    ASSERT_EQ(o.keys.size(), 2u);
    EXPECT_TRUE(key_held(o.keys, VK_CODE_ESCAPE, 850));
    EXPECT_TRUE(key_held(o.keys, VK_CODE_ESCAPE, 900));
    EXPECT_FALSE(key_held(o.keys, VK_CODE_ESCAPE, 849));
    EXPECT_FALSE(key_held(o.keys, VK_CODE_ESCAPE, 901));
    EXPECT_TRUE(key_held(o.keys, VK_CODE_F1, 12));
    EXPECT_FALSE(key_held(o.keys, VK_CODE_F1, 13));
    EXPECT_TRUE(frame_wanted(o, 800));
    EXPECT_FALSE(frame_wanted(o, 2));

    render_options all;
    ASSERT_TRUE(parse({"--shot", "all", "--soft", "--frames", "5", "--keys", "up@1-5,down@3-4,left@2,right@2,q@1,a@1"}, all, error));
    EXPECT_TRUE(frame_wanted(all, 12345));
    EXPECT_TRUE(all.soft);
    EXPECT_EQ(all.keys.size(), 6u);
    EXPECT_TRUE(key_held(all.keys, VK_CODE_DOWN, 3));
    EXPECT_TRUE(key_held(all.keys, VK_CODE_A, 1));
    EXPECT_FALSE(all.gles);

    render_options gles;
    ASSERT_TRUE(parse({"--renderer=gles", "--frames", "1"}, gles, error)) << error;
    EXPECT_TRUE(gles.gles);
    render_options gl;
    ASSERT_TRUE(parse({"--renderer", "gl", "--frames", "1"}, gl, error)) << error;
    EXPECT_FALSE(gl.gles);
}

TEST(RenderOptions, RejectsBadInputWithOneLineNamingIt)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--bogus"},
        {"--frames"},
        {"--frames", "ten"},
        {"--frames", "-1"},
        {"--frames", "99999999999999999999"},
        {"--frames", ""},
        {"--shot", "1,,2"},
        {"--shot", "0"},
        {"--shot", "5x"},
        {"--keys", "jump@1-2"},
        {"--keys", "up"},
        {"--keys", "up@9-3"},
        {"--keys", "up@-3"},
        {"--keys", "up@1-"},
        {"--out"},
        {"--dump-world"},
        {"--saver", "--soft"},
        {"frames"},
        {"--icon"},
        {"--icon", "15"},
        {"--icon", "513"},
        {"--icon", "big"},
        {"--icon", "32", "--frames", "10"},
        {"--icon", "32", "--saver"},
        {"--shot", "5", "--icon", "32"},
        {"--renderer", "vulkan"},
        {"--renderer", "GLES"},
    };
    for (const auto& args : bad) {
        render_options o;
        std::string error;
        EXPECT_FALSE(parse_render_options((int)args.size(), args.data(), o, error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(RenderOptions, IconTakesASizeAndAFile)
{
    render_options o;
    std::string error;
    ASSERT_TRUE(parse({"--icon", "48"}, o, error)) << error;
    EXPECT_EQ(o.icon_size, 48);
    EXPECT_EQ(o.out, "tarvelin-48.png");

    render_options named;
    ASSERT_TRUE(parse({"--out", "icons/t.png", "--icon", "512"}, named, error)) << error;
    EXPECT_EQ(named.icon_size, 512);
    EXPECT_EQ(named.out, "icons/t.png");

    // Sizes outside the range are refused, naming it.
    for (const char* size : {"0", "-16", "15", "513"}) {
        render_options refused;
        EXPECT_FALSE(parse({"--icon", size}, refused, error)) << size;
        EXPECT_NE(error.find("16 to 512"), std::string::npos) << error;
    }

    render_options frames;
    ASSERT_TRUE(parse({"--frames", "3"}, frames, error));
    EXPECT_EQ(frames.icon_size, 0);
    EXPECT_EQ(frames.out, "shots");

    render_options version;
    ASSERT_TRUE(parse({"--version"}, version, error));
    EXPECT_TRUE(version.version);
    EXPECT_FALSE(version.help);
}

TEST(RenderOptions, AValueThatIsMissingOrAnOptionIsAnError)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--dump-world", "--frames", "10"},  // would write a file named --frames
        {"--frames", "10", "--dump-world", "--bench"},
        {"--out", "--shot", "1"},
        {"--keys", "--frames"},
        {"--shot", "--frames", "3"},
        {"--dump-world", "-h"},
        {"--frames", "5", "--out"},
    };
    for (const auto& args : bad) {
        render_options o;
        std::string error;
        EXPECT_FALSE(parse_render_options((int)args.size(), args.data(), o, error)) << args[0] << " " << args[1];
        EXPECT_NE(error.find("needs a value"), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    // "-" is standard output, "./--frames" a file that happens to have that name,
    // and a negative count gets the count's own message.
    render_options o;
    std::string error;
    EXPECT_TRUE(parse({"--frames", "0", "--dump-world", "-"}, o, error)) << error;
    EXPECT_EQ(o.dump_world, "-");
    EXPECT_TRUE(parse({"--dump-world", "./--frames"}, o, error)) << error;
    render_options negative;
    EXPECT_FALSE(parse({"--frames", "-5"}, negative, error));
    EXPECT_NE(error.find("frame count"), std::string::npos) << error;
}

TEST(RenderOptions, ShotsBeyondTheLastFrameAndStdoutWithTextOutputAreErrors)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--frames", "10", "--shot", "1,11"},
        {"--shot", "900", "--frames", "899"},
        {"--shot", "1"},  // no frames at all
        {"--dump-world", "-", "--bench"},
        {"--summary", "--dump-world", "-"},
    };
    for (const auto& args : bad) {
        render_options o;
        std::string error;
        EXPECT_FALSE(parse_render_options((int)args.size(), args.data(), o, error)) << args[0] << " " << args[1];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    render_options o;
    std::string error;
    EXPECT_TRUE(parse({"--shot", "900,1", "--frames", "900"}, o, error)) << error;
    render_options all;
    EXPECT_TRUE(parse({"--shot", "all", "--frames", "0", "--dump-world", "w", "--bench"}, all, error)) << error;
    render_options beyond;
    parse({"--frames", "10", "--shot", "11"}, beyond, error);
    EXPECT_NE(error.find("11"), std::string::npos) << error;
    EXPECT_NE(error.find("--frames 10"), std::string::npos) << error;
}

TEST(RenderOptions, OnlyShotsAndKeysAddUpAndNeitherGoesPastTheLastFrame)
{
    render_options o;
    std::string error;
    ASSERT_TRUE(parse({"--frames", "4", "--shot", "1", "--keys", "up@1-4", "--shot", "3,4", "--keys", "left@2"}, o,
                      error))
        << error;
    EXPECT_EQ(o.shots, (std::vector<long>{1, 3, 4}));
    EXPECT_TRUE(key_held(o.keys, VK_CODE_UP, 4));
    EXPECT_TRUE(key_held(o.keys, VK_CODE_LEFT, 2));

    const std::vector<std::vector<const char*>> twice = {
        {"--frames", "3", "--frames", "4"},
        {"--saver", "--bench", "--saver"},
        {"--out", "a", "--frames", "1", "--out", "b"},
        {"--dump-world", "a", "--dump-world", "a"},
        {"--saver", "--host", "10x10", "--host", "20x20"},
    };
    for (const auto& args : twice) {
        render_options r;
        EXPECT_FALSE(parse_render_options((int)args.size(), args.data(), r, error)) << args[0];
        EXPECT_NE(error.find("given twice"), std::string::npos) << error;
    }
    // A key held past the last frame is refused as a shot past it is; up to it is fine.
    render_options past;
    EXPECT_FALSE(parse({"--frames", "3", "--keys", "up@2-4"}, past, error));
    EXPECT_NE(error.find("frame 4 is beyond the last frame (--frames 3)"), std::string::npos) << error;
    render_options within;
    EXPECT_TRUE(parse({"--keys", "up@2-4", "--frames", "4"}, within, error)) << error;
}

TEST(RenderOptions, HostSizesStayWithinWhatAFrameMayTake)
{
    std::string error;
    for (const char* size : {"7680x4320", "4320x7680", "8192x4050", "1x1"}) {
        render_options o;
        EXPECT_TRUE(parse({"--saver", "--host", size}, o, error)) << size << ": " << error;
    }
    for (const char* size : {"16384x16384", "8193x100", "7681x4320", "100x8193"}) {
        render_options o;
        EXPECT_FALSE(parse({"--saver", "--host", size}, o, error)) << size;
        EXPECT_NE(error.find("too large"), std::string::npos) << error;
    }
    render_options malformed;
    EXPECT_FALSE(parse({"--saver", "--host", "0x10"}, malformed, error));
    EXPECT_NE(error.find("WIDTHxHEIGHT"), std::string::npos) << error;
}

TEST(RenderOptions, AValueMayFollowAnEqualsSign)
{
    render_options o;
    std::string error;
    ASSERT_TRUE(parse({"--frames=3", "--shot=2,3", "--out=a=b", "--saver"}, o, error)) << error;
    EXPECT_EQ(o.frames, 3);
    EXPECT_EQ(o.shots, (std::vector<long>{2, 3}));
    EXPECT_EQ(o.out, "a=b");
    for (const auto& bad : std::vector<std::vector<const char*>>{{"--saver=1"}, {"--frames="}, {"--frames=x"}}) {
        render_options r;
        EXPECT_FALSE(parse_render_options((int)bad.size(), bad.data(), r, error)) << bad[0];
    }
}
