// The credit line of both programs: its text (its place on screen is checked in the drawn frames).
#include <gtest/gtest.h>

#include <cstdio>

#include "scene/credits.h"

TEST(Credits, LinesOfBothPrograms)
{
    char line[256];
    std::snprintf(line, sizeof line, credit_line_format(false), "");
    EXPECT_STREQ(line, "Created by Orvandel ");
    std::snprintf(line, sizeof line, credit_line_format(true), "");
    EXPECT_STREQ(line, "The lake bottom screensaver. Created by Orvandel ");
}
