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
    ASSERT_TRUE(parse({"--shot", "all", "--soft", "--keys", "up@1-5,down@3-4,left@2,right@2,q@1,a@1"}, all, error));
    EXPECT_TRUE(frame_wanted(all, 12345));
    EXPECT_TRUE(all.soft);
    EXPECT_EQ(all.keys.size(), 6u);
    EXPECT_TRUE(key_held(all.keys, VK_CODE_DOWN, 3));
    EXPECT_TRUE(key_held(all.keys, VK_CODE_A, 1));
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
    };
    for (const auto& args : bad) {
        render_options o;
        std::string error;
        EXPECT_FALSE(parse_render_options((int)args.size(), args.data(), o, error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}
