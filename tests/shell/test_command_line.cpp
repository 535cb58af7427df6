// The command line of tarvelin and tarvelin_saver, and how its answers reach the start questions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/world.h"
#include "shell/command_line.h"

namespace {

bool parse(program_kind kind, std::vector<const char*> args, program_options& options,
           std::string& error)
{
    options = program_options();
    error.clear();
    return parse_program_options(kind, (int)args.size(), args.data(), options, error);
}

// A platform whose message boxes are counted and answered No; nothing else is called.
int boxes_shown;
message_answer count_box(message_id)
{
    ++boxes_shown;
    return ANSWER_NO;
}

}  // namespace

TEST(CommandLine, AnswersInAdvanceAndASecondAnswerToOneQuestionIsAMistake)
{
    program_options o;
    std::string error;
    ASSERT_TRUE(parse(PROGRAM_VIEWER, {}, o, error));
    EXPECT_EQ(o.fullscreen, PRESET_NONE);
    EXPECT_EQ(o.soft, PRESET_NONE);
    EXPECT_FALSE(o.help || o.version);

    ASSERT_TRUE(parse(PROGRAM_VIEWER, {"--window", "--soft"}, o, error));
    EXPECT_EQ(o.fullscreen, PRESET_NO);
    EXPECT_EQ(o.soft, PRESET_YES);
    for (const auto& twice : std::vector<std::vector<const char*>>{
             {"--window", "--fullscreen"}, {"--soft", "--window", "--soft"}, {"--no-soft", "--soft"}}) {
        o = program_options();
        EXPECT_FALSE(parse(PROGRAM_VIEWER, twice, o, error)) << twice.back();
        EXPECT_EQ(error, std::string("'") + twice.back() + "' answers a question another option has answered");
    }

    ASSERT_TRUE(parse(PROGRAM_SAVER, {"--version", "-h"}, o, error));
    EXPECT_TRUE(o.version);
    EXPECT_TRUE(o.help);
}

TEST(CommandLine, BadArgumentsAreOneLineErrors)
{
    program_options o;
    std::string error;
    const std::vector<std::vector<const char*>> bad = {
        {"--bogus"}, {"-f"}, {"--window=1"}, {"window"}, {""}, {"--soft", "--"}, {"--FULLSCREEN"}};
    for (const auto& args : bad) {
        EXPECT_FALSE(parse(PROGRAM_VIEWER, args, o, error)) << args.back();
        EXPECT_NE(error.find(std::string("'") + args.back() + "'"), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    // The viewer's answers mean nothing to the screensaver.
    for (const char* viewer_only : {"--window", "--fullscreen", "--soft", "--no-soft"})
        EXPECT_FALSE(parse(PROGRAM_SAVER, {viewer_only}, o, error)) << viewer_only;
    // A null argument is taken as an empty one, not read.
    EXPECT_FALSE(parse(PROGRAM_VIEWER, {nullptr}, o, error));
}

TEST(CommandLine, EachOptionAnswersOnlyItsOwnQuestion)
{
    static const platform counting = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      count_box, {nullptr, nullptr}, nullptr, nullptr};
    program_options o;
    std::string error;

    // Both answered: no box at all.
    reset_world(false);
    boxes_shown = 0;
    ASSERT_TRUE(parse(PROGRAM_VIEWER, {"--window", "--soft"}, o, error));
    ask_start_questions(counting, o);
    EXPECT_EQ(boxes_shown, 0);
    EXPECT_FALSE(world.fullscreen);
    EXPECT_EQ(world.mode_width, 640);
    EXPECT_FALSE(world.large_layout);

    // Only full screen answered: the soft question is still asked (and No
    // keeps 1024 x 768).
    reset_world(false);
    boxes_shown = 0;
    ASSERT_TRUE(parse(PROGRAM_VIEWER, {"--fullscreen"}, o, error));
    ask_start_questions(counting, o);
    EXPECT_EQ(boxes_shown, 1);
    EXPECT_TRUE(world.fullscreen);
    EXPECT_EQ(world.mode_width, 1024);
    EXPECT_TRUE(world.large_layout);

    // Only soft mode answered: the full-screen question is asked, No gives a window.
    reset_world(false);
    boxes_shown = 0;
    ASSERT_TRUE(parse(PROGRAM_VIEWER, {"--no-soft"}, o, error));
    ask_start_questions(counting, o);
    EXPECT_EQ(boxes_shown, 1);
    EXPECT_FALSE(world.fullscreen);
    EXPECT_EQ(world.mode_width, 1024);
}

TEST(CommandLine, UsageAndVersionTexts)
{
    EXPECT_EQ(program_usage(PROGRAM_VIEWER).rfind("usage: tarvelin ", 0), 0u);
    EXPECT_EQ(program_usage(PROGRAM_SAVER).rfind("usage: tarvelin_saver ", 0), 0u);
    for (const char* option : {"--fullscreen", "--window", "--soft", "--no-soft"}) {
        EXPECT_NE(program_usage(PROGRAM_VIEWER).find(option), std::string::npos) << option;
        EXPECT_EQ(program_usage(PROGRAM_SAVER).find(std::string(option) + " "), std::string::npos) << option;
    }
    EXPECT_EQ(program_version_text(PROGRAM_SAVER).rfind("tarvelin_saver ", 0), 0u);
    EXPECT_EQ(program_version_text(PROGRAM_VIEWER).back(), '\n');
}

TEST(CommandLine, PictureOptionsInBothProgramsAndTheSaversHostArgumentsLeftOver)
{
    program_options o;
    std::string error;
    // The desktop-sized full screen answers the viewer's first question, and
    // the next answer to the same question is a mistake.
    ASSERT_TRUE(parse(PROGRAM_VIEWER, {"--fullscreen=desktop", "--no-soft", "--fps"}, o, error)) << error;
    EXPECT_EQ(o.fullscreen, PRESET_YES);
    EXPECT_TRUE(o.desktop);
    EXPECT_TRUE(o.fps);
    EXPECT_FALSE(parse(PROGRAM_VIEWER, {"--fullscreen=desktop", "--window"}, o, error));
    EXPECT_FALSE(parse(PROGRAM_VIEWER, {"--fullscreen", "--fullscreen=desktop"}, o, error));
    for (const auto& bad : std::vector<std::vector<const char*>>{
             {"--fps", "--fps"}, {"--resolution", "design", "--resolution", "window"}, {"--resolution", "big"},
             {"--resolution"}, {"--record"}, {"--record="}, {"--record", "a", "--record=b"}, {"--recording=a"}}) {
        EXPECT_FALSE(parse(PROGRAM_SAVER, bad, o, error)) << bad[0];
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }

    // A value after '=' or as the next argument, whatever it looks like.
    ASSERT_TRUE(parse(PROGRAM_VIEWER, {"--record=swim.txt", "--resolution=window"}, o, error)) << error;
    EXPECT_EQ(o.record, "swim.txt");
    EXPECT_EQ(o.resolution, RESOLUTION_WINDOW);
    ASSERT_TRUE(parse(PROGRAM_SAVER, {"--record", "--fps"}, o, error)) << error;
    EXPECT_EQ(o.record, "--fps");
    EXPECT_FALSE(o.fps);

    // The saver hands what it does not know to the host's parser, in order.
    std::vector<const char*> args = {"--window-id", "0x12", "--resolution", "window", "--fullscreen=desktop"};
    std::vector<const char*> others;
    o = program_options();
    ASSERT_TRUE(parse_program_options(PROGRAM_SAVER, (int)args.size(), args.data(), o, error, &others)) << error;
    EXPECT_EQ(o.resolution, RESOLUTION_WINDOW);
    EXPECT_TRUE(o.desktop);
    EXPECT_EQ(o.fullscreen, PRESET_NONE);
    ASSERT_EQ(others.size(), 2u);
    EXPECT_STREQ(others[0], "--window-id");
    EXPECT_STREQ(others[1], "0x12");
}
