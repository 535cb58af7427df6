// The credit line of both programs: text and place.
#include <gtest/gtest.h>

#include <cstdio>

#include "scene/credits.h"

TEST(Credits, LinesAndPositionsOfBothPrograms)
{
    char line[256];
    std::snprintf(line, sizeof line, credit_line_format(false), "");
    EXPECT_STREQ(line, "Created by Orvandel ");
    std::snprintf(line, sizeof line, credit_line_format(true), "");
    EXPECT_STREQ(line, "The lake bottom screensaver. Created by Orvandel ");
    float x, y;
    credit_line_position(true, x, y);
    EXPECT_EQ(x, 440);
    EXPECT_EQ(y, 10);
    credit_line_position(false, x, y);
    EXPECT_EQ(x, 160);
    EXPECT_EQ(y, 10);
}
