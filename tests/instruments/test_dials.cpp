// Instrument dials without OpenGL: layout, readings, sweeps, the depth needle and the texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/world.h"
#include "instruments/dials.h"

namespace {

float distance_between(const overlay_point& a, float x, float y)
{
    return (float)std::hypot((double)a.x - x, (double)a.y - y);
}

}  // namespace

TEST(Dials, FiveDialsInARowWithinTheFrameBandAndTheSmallCanvasIsTheLargeScaled)
{
    // Left to right: sounder, pitch, finder, compass, depth, on one line, the
    // faces apart from each other and inside the canvas's lower quarter, under
    // the view frame's opening; the small canvas places them at 0.4 of the
    // large one's coordinates.
    const dial_id order[] = {DIAL_SOUNDER, DIAL_PITCH, DIAL_FINDER, DIAL_COMPASS, DIAL_DEPTH};
    for (bool large : {true, false}) {
        const float width = large ? 1024 : 410, band = large ? 192 : 75;
        for (int i = 0; i < 5; ++i) {
            const dial_place p = dial_placement(order[i], large);
            EXPECT_EQ(p.my, dial_placement(order[0], large).my) << order[i];
            EXPECT_GE(p.mx - p.r, 0) << order[i];
            EXPECT_LE(p.mx + p.r, width) << order[i];
            EXPECT_GE(p.my - p.r, 0) << order[i];
            EXPECT_LE(p.my + p.r, band) << order[i];
            if (i > 0) {
                const dial_place left = dial_placement(order[i - 1], large);
                EXPECT_LT(left.mx + left.r, p.mx - p.r) << order[i];
            }
            if (!large) {
                const dial_place big = dial_placement(order[i], true);
                EXPECT_FLOAT_EQ(p.mx, 0.4f * big.mx) << order[i];
                EXPECT_FLOAT_EQ(p.my, 0.4f * big.my) << order[i];
                EXPECT_FLOAT_EQ(p.r, 0.4f * big.r) << order[i];
            }
        }
    }
}

TEST(Dials, SweepWholeAngleGivesOneHundredTwentyOneWedgesFromBrightToFace)
{
    const dial_place p = dial_placement(DIAL_FINDER, true);
    sweep_wedge wedges[SWEEP_WEDGE_LIMIT];
    for (float s : {0.0f, 100.0f, 345.0f}) {
        ASSERT_EQ(sweep_wedges(p, s, wedges), 121) << s;
        EXPECT_FLOAT_EQ(wedges[0].shade, 4) << s;
        EXPECT_FLOAT_EQ(wedges[40].shade, 3) << s;
        EXPECT_FLOAT_EQ(wedges[120].shade, 1) << s;
        const overlay_point lead = dial_point(p, s, p.r);
        EXPECT_EQ(wedges[0].p1.x, lead.x);
        EXPECT_EQ(wedges[0].p1.y, lead.y);
        const overlay_point trail = dial_point(p, s + 122, p.r);
        EXPECT_EQ(wedges[120].p2.x, trail.x);
        EXPECT_EQ(wedges[120].p2.y, trail.y);
    }
    // The leading wedge of a sweep at 90 lies on top of the face, right of the top.
    ASSERT_EQ(sweep_wedges(p, 90, wedges), 121);
    EXPECT_NEAR(wedges[0].p1.x, 725, 0.1);
    EXPECT_NEAR(wedges[0].p1.y, 125, 1e-3);
    EXPECT_LT(wedges[0].p2.x, 725);

    // A fractional angle below zero truncates toward zero and loses a wedge;
    // one above zero keeps 121.
    EXPECT_EQ(sweep_wedges(p, -15.5f, wedges), 120);
    EXPECT_FLOAT_EQ(wedges[0].shade, (float)(119.5 / 40 + 1));
    EXPECT_EQ(sweep_wedges(p, 10.5f, wedges), 121);
}

TEST(Dials, SweepTurnsFifteenDegreesClockwiseAndStaysWithinOneTurn)
{
    float sounder = 0, finder = 100;
    advance_sweep(sounder);
    advance_sweep(finder);
    EXPECT_EQ(sounder, 345);
    EXPECT_EQ(finder, 85);
    // Over a very long run the step stays exactly 15 and the fish finder
    // keeps standing 100 degrees ahead of the sounder.
    for (long frame = 2; frame <= 3000000; ++frame) {
        const float before = sounder;
        advance_sweep(sounder);
        advance_sweep(finder);
        const float step = before - sounder;
        if (!(step == 15 || step == -345) || sounder < 0 || sounder >= 360 || finder < 0 ||
            finder >= 360 || std::fmod(finder - sounder + 360, 360) != 100) {
            FAIL() << "frame " << frame << ": sounder " << sounder << ", finder " << finder;
        }
    }
    EXPECT_EQ(sounder, std::fmod(360 - std::fmod(3000000.0 * 15, 360), 360));
}

TEST(Dials, ReadingsTakenOnEveryFourthCallAndHeldInBetween)
{
    reset_world(false);
    char text[32];
    for (int frame = 1; frame <= 3; ++frame) {
        update_sounder_reading(600);
        update_finder_reading(17);
        format_sounder_reading(world.sounder_reading, text, sizeof text);
        EXPECT_STREQ(text, "0.0") << frame;
        EXPECT_EQ(world.finder_reading, 0) << frame;
        EXPECT_EQ(world.sounder_tick, frame);
        EXPECT_EQ(world.finder_tick, frame);
    }
    update_sounder_reading(600);
    update_finder_reading(17);
    format_sounder_reading(world.sounder_reading, text, sizeof text);
    EXPECT_STREQ(text, "40.0");
    EXPECT_EQ(world.finder_reading, 17);
    EXPECT_EQ(world.sounder_tick, 0);
    EXPECT_EQ(world.finder_tick, 0);

    // New values show only on the 8th call.
    for (int frame = 5; frame <= 7; ++frame) {
        update_sounder_reading(15);
        update_finder_reading(3);
        EXPECT_EQ(world.sounder_reading, 40.0f) << frame;
        EXPECT_EQ(world.finder_reading, 17) << frame;
    }
    update_sounder_reading(15);
    update_finder_reading(3);
    EXPECT_EQ(world.sounder_reading, 1.0f);
    EXPECT_EQ(world.finder_reading, 3);

    // The reading is world units / 15, stored as a float.
    for (int k = 0; k < 4; ++k) update_sounder_reading(100);
    EXPECT_EQ(world.sounder_reading, (float)(100.0 / 1200 * 80));
    format_sounder_reading(world.sounder_reading, text, sizeof text);
    EXPECT_STREQ(text, "6.7");

    // A negative reading is shown as zero.
    for (int k = 0; k < 4; ++k) update_sounder_reading(-30);
    EXPECT_EQ(world.sounder_reading, 0.0f);
}

TEST(Dials, TextsSitWhereTheirDialsPutThem)
{
    reset_world(false);
    world.sounder_reading = 12.34f;
    world.finder_reading = 250;

    dial_text sounder;
    sounder_text(true, sounder);
    EXPECT_STREQ(sounder.text, "12.3");
    EXPECT_FLOAT_EQ(sounder.at.x, 75 - 50.0f / 3);
    EXPECT_EQ(sounder.at.y, 75);
    sounder_text(false, sounder);
    EXPECT_FLOAT_EQ(sounder.at.x, 30 - 20.0f / 3);
    EXPECT_EQ(sounder.at.y, 30);

    dial_text labels[2];
    compass_labels(true, labels);
    EXPECT_STREQ(labels[0].text, " N ");
    EXPECT_STREQ(labels[1].text, " S ");
    EXPECT_NEAR(labels[0].at.x, 817.56, 0.005);
    EXPECT_FLOAT_EQ(labels[0].at.y, 101.25f);
    EXPECT_NEAR(labels[1].at.x, 817.56, 0.005);
    EXPECT_FLOAT_EQ(labels[1].at.y, 43.125f);
    compass_labels(false, labels);
    EXPECT_NEAR(labels[0].at.x, 324.64, 0.005);
    EXPECT_FLOAT_EQ(labels[0].at.y, 40.5f);
    EXPECT_NEAR(labels[1].at.x, 324.64, 0.005);
    EXPECT_FLOAT_EQ(labels[1].at.y, 17.25f);

    dial_text finder[3];
    finder_texts(true, finder);
    EXPECT_STREQ(finder[0].text, "250");
    EXPECT_STREQ(finder[1].text, "fish");
    EXPECT_STREQ(finder[2].text, "detected");
    EXPECT_EQ(finder[0].at.x, 700);
    EXPECT_EQ(finder[0].at.y, 75);
    EXPECT_EQ(finder[1].at.x, 725);
    EXPECT_EQ(finder[1].at.y, 75);
    EXPECT_EQ(finder[2].at.x, 700);
    EXPECT_FLOAT_EQ(finder[2].at.y, 75 - 50.0f / 3);
    // The small layout indents "detected" by R / 1.5 instead of R / 2.
    finder_texts(false, finder);
    EXPECT_EQ(finder[0].at.x, 280);
    EXPECT_FLOAT_EQ(finder[2].at.x, 290 - 20 / 1.5f);
    EXPECT_FLOAT_EQ(finder[2].at.y, 30 - 20.0f / 3);
}

TEST(Dials, DepthGaugeNeedleTurnsFourDegreesPerUnitBetweenItsStops)
{
    EXPECT_EQ(depth_needle_angle(300), 260);
    EXPECT_EQ(depth_needle_angle(300.5f), 260);
    EXPECT_EQ(depth_needle_angle(5000), 260);
    EXPECT_EQ(depth_needle_angle(0), 180);
    EXPECT_EQ(depth_needle_angle(-600), 20);
    EXPECT_EQ(depth_needle_angle(-937.5f), -70);
    EXPECT_EQ(depth_needle_angle(-2000), -70);
    EXPECT_EQ(depth_needle_angle(285), 256);
    EXPECT_EQ(depth_needle_angle(292.5f), 258);

    // At y = 0 the needle points straight left, 0.7 R from the midpoint.
    const dial_place p = dial_placement(DIAL_DEPTH, true);
    const overlay_point tip = depth_needle_tip(p, 0);
    EXPECT_NEAR(tip.x, 925 - 35, 1e-3);
    EXPECT_NEAR(tip.y, 75, 0.1);
    const overlay_point rest = depth_needle_tip(dial_placement(DIAL_DEPTH, false), 300);
    EXPECT_LT(rest.x, 370);
    EXPECT_LT(rest.y, 30);
    EXPECT_NEAR(distance_between(rest, 370, 30), 14, 1e-3);
}
