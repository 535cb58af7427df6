// The screensaver's command-line check: which launches end at once.
#include <gtest/gtest.h>

#include "shell/saver_args.h"

TEST(SaverArgs, RunsWithNoSwitchOrTheRunSwitch)
{
    EXPECT_FALSE(saver_exits_at_once(nullptr));
    EXPECT_FALSE(saver_exits_at_once(""));
    EXPECT_FALSE(saver_exits_at_once("   "));
    EXPECT_FALSE(saver_exits_at_once("/s"));
    EXPECT_FALSE(saver_exits_at_once("/S"));
    EXPECT_FALSE(saver_exits_at_once("-s"));
    EXPECT_FALSE(saver_exits_at_once(" /s"));
}

TEST(SaverArgs, SettingsAndPreviewEndAtOnceInAnySpelling)
{
    for (const char* line : {"/c", "/C", "-c", "-C", "/p 123", "/P 123", "-p 123", "-P\t99",
                             "/c:1234", "/C:1234", "  /p 123", "/p", "\"/c\"", "/c /s"}) {
        EXPECT_TRUE(saver_exits_at_once(line)) << line;
    }
}

TEST(SaverArgs, OnlyTheFirstWordIsTheSwitchAndItMustBeWhole)
{
    // A later /p does not turn a run into a preview.
    EXPECT_FALSE(saver_exits_at_once("/s /p 123"));
    // Longer words that merely start with c or p are not the switches.
    EXPECT_FALSE(saver_exits_at_once("/config"));
    EXPECT_FALSE(saver_exits_at_once("-preview"));
    // Without a leading / or - the letters are not switches at all.
    EXPECT_FALSE(saver_exits_at_once("c"));
    EXPECT_FALSE(saver_exits_at_once("p 123"));
    EXPECT_FALSE(saver_exits_at_once("/"));
    EXPECT_FALSE(saver_exits_at_once("-"));
}
