// The screensaver in a session: input over the desktop and in a host, the
// window asked for, messages without boxes, and the settings box's text.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "common/keys.h"
#include "common/world.h"
#include "render/design_frame.h"
#include "render/picture_fit.h"
#include "scene/credits.h"
#include "shell/program.h"
#include "shell/saver_session.h"

namespace {

std::deque<platform_event> queue;
std::vector<std::string> calls;
std::vector<window_request> requests;
bool open_fails;
bool close_fails;  // closing reports that the window could not be destroyed
int frames_drawn;
int64_t fake_time;

bool fake_open_display(message_id&)
{
    return true;
}

bool fake_enter_mode(int, int, int)
{
    calls.push_back("mode");
    return true;
}

void fake_leave_mode()
{
    calls.push_back("leave mode");
}

bool fake_open(const window_request& request, message_id& failure)
{
    requests.push_back(request);
    calls.push_back("open");
    failure = MESSAGE_NO_HOST_WINDOW;
    return !open_fails;
}

bool fake_has_context()
{
    return false;
}

void fake_close()
{
    calls.push_back("close");
    if (close_fails) report_close_failure(MESSAGE_WINDOW_NOT_DESTROYED);
}

void fake_swap() {}

bool fake_poll(platform_event& event)
{
    if (queue.empty()) {
        // Nothing more will come: the test's session ends here.
        event = {};
        event.kind = PLATFORM_EVENT_QUIT;
        event.code = 42;
        return frames_drawn >= 1;
    }
    event = queue.front();
    queue.pop_front();
    return true;
}

int64_t fake_now()
{
    return fake_time;
}

bool fake_wait(int64_t deadline)
{
    if (fake_time < deadline) fake_time = deadline;
    return true;
}

message_answer fake_box(message_id id)
{
    calls.push_back(std::string("box ") + message_text_of(id).text);
    return ANSWER_OK;
}

void no_font() {}

const platform fake = {
    nullptr,   nullptr,          fake_open_display, fake_enter_mode, fake_leave_mode,
    fake_open, fake_has_context, fake_close,        fake_swap,       fake_poll,
    fake_now,  fake_wait,        fake_box,          {no_font, no_font},
    nullptr,   nullptr,
};

bool fake_draw()
{
    ++frames_drawn;
    return true;
}

void fake_resize(int width, int height)
{
    calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
}

bool fake_setup()
{
    return true;
}

const program_scene scene = {fake_draw, fake_resize, fake_setup};

platform_event event_of(platform_event_kind kind, int key = 0)
{
    platform_event e = {};
    e.kind = kind;
    e.key = key;
    return e;
}

platform_event pointer_at(int x, int y)
{
    platform_event e = event_of(PLATFORM_EVENT_POINTER_MOVE);
    e.x = x;
    e.y = y;
    return e;
}

class SaverSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_world(true);
        world.large_layout = true;
        world.fullscreen = true;
        queue.clear();
        calls.clear();
        requests.clear();
        open_fails = false;
        close_fails = false;
        frames_drawn = 0;
        fake_time = 1000;
    }

    void TearDown() override
    {
        // Later tests expect a window of its own, the frame not fitted.
        set_window_placement(WINDOW_OWN, 0);
        set_picture_fitted(false);
    }

    // Applies the events one by one; the index of the first that ends the
    // program, or -1.
    int first_ending(const std::vector<platform_event>& events)
    {
        for (size_t k = 0; k < events.size(); ++k) {
            apply_platform_event(events[k], scene);
            if (world.done) return (int)k;
        }
        return -1;
    }
};

}  // namespace

TEST_F(SaverSession, OverTheDesktopAnyKeyOrButtonEnds)
{
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    EXPECT_EQ(first_ending({event_of(PLATFORM_EVENT_KEY_DOWN, 0x41)}), 0);

    for (int key : {VK_CODE_ESCAPE, VK_CODE_F1, -1, 0x20}) {
        reset_world(true);
        enter_saver_session(WINDOW_OVER_DESKTOP, 0);
        EXPECT_EQ(first_ending({event_of(PLATFORM_EVENT_KEY_DOWN, key)}), 0) << key;
        // It ends as a quit, not through the keys table: F1 never switches.
        EXPECT_FALSE(world.keys[VK_CODE_F1]);
    }

    reset_world(true);
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    // A key let go that was held when the window opened means nothing.
    EXPECT_EQ(first_ending({event_of(PLATFORM_EVENT_KEY_UP, 0x41), event_of(PLATFORM_EVENT_RESIZE),
                            event_of(PLATFORM_EVENT_BUTTON_DOWN)}),
              2);
}

TEST_F(SaverSession, OverTheDesktopThePointerMayDriftAFewPixels)
{
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    // The first position is where the pointer rests, however far from 0, 0.
    EXPECT_EQ(first_ending({pointer_at(500, 400), pointer_at(504, 396), pointer_at(496, 404),
                            pointer_at(500, 400), pointer_at(505, 400)}),
              4);

    for (const platform_event& last : {pointer_at(500, 405), pointer_at(495, 400), pointer_at(0, 0)}) {
        reset_world(true);
        enter_saver_session(WINDOW_OVER_DESKTOP, 0);
        EXPECT_EQ(first_ending({pointer_at(500, 400), last}), 1) << last.x << "," << last.y;
    }

    // A new session forgets where the pointer was.
    reset_world(true);
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    EXPECT_EQ(first_ending({pointer_at(10, 10), pointer_at(12, 12)}), -1);
}

TEST_F(SaverSession, InAHostKeysBelongToTheHost)
{
    enter_saver_session(WINDOW_IN_HOST, 77);
    EXPECT_EQ(first_ending({event_of(PLATFORM_EVENT_KEY_DOWN, VK_CODE_ESCAPE),
                            event_of(PLATFORM_EVENT_KEY_DOWN, VK_CODE_F1),
                            event_of(PLATFORM_EVENT_BUTTON_DOWN), pointer_at(1, 1), pointer_at(900, 900)}),
              -1);
    EXPECT_FALSE(world.keys[VK_CODE_ESCAPE]);
    EXPECT_FALSE(world.keys[VK_CODE_F1]);

    // The host's size and the host's end still count.
    platform_event resize = event_of(PLATFORM_EVENT_RESIZE);
    resize.width = 320;
    resize.height = 240;
    apply_platform_event(resize, scene);
    EXPECT_EQ(calls, (std::vector<std::string>{"resize 320x240"}));
    EXPECT_EQ(first_ending({event_of(PLATFORM_EVENT_QUIT)}), 0);
}

TEST_F(SaverSession, AWindowOfItsOwnIgnoresThePointer)
{
    EXPECT_EQ(window_placement(), WINDOW_OWN);
    EXPECT_EQ(first_ending({pointer_at(0, 0), pointer_at(900, 900), event_of(PLATFORM_EVENT_BUTTON_DOWN),
                            event_of(PLATFORM_EVENT_KEY_DOWN, VK_CODE_UP)}),
              -1);
    EXPECT_TRUE(world.keys[VK_CODE_UP]);
}

TEST_F(SaverSession, AHostsWindowIsAskedForWithoutADisplayModeAndFitted)
{
    enter_saver_session(WINDOW_IN_HOST, 0x2a00005);
    EXPECT_FALSE(world.fullscreen);
    EXPECT_TRUE(picture_fitted());
    EXPECT_EQ(run_session_windows(fake, scene), 42);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, WINDOW_IN_HOST);
    EXPECT_EQ(requests[0].host, 0x2a00005u);
    EXPECT_FALSE(requests[0].fullscreen);
    EXPECT_EQ(frames_drawn, 1);
    // Never a display mode, in or out.
    EXPECT_EQ(calls, (std::vector<std::string>{"open", "resize 1024x768", "close"}));

    // Over the desktop likewise.
    reset_world(true);
    calls.clear();
    requests.clear();
    frames_drawn = 0;
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    run_session_windows(fake, scene);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, WINDOW_OVER_DESKTOP);
    EXPECT_EQ(calls, (std::vector<std::string>{"open", "resize 1024x768", "close"}));
}

TEST_F(SaverSession, InAHostAFailureIsALineOnStandardErrorAndCodeOne)
{
    enter_saver_session(WINDOW_IN_HOST, 5);
    open_fails = true;
    testing::internal::CaptureStderr();
    const int code = run_session_windows(fake, scene);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err, "tarvelin_saver: ERROR: Can't Find The Window To Draw In.\n");
    // No box was shown.
    for (const std::string& c : calls) EXPECT_EQ(c.rfind("box", 0), std::string::npos) << c;

    // A later session that succeeds ends with the loop's code again.
    open_fails = false;
    reset_world(true);
    enter_saver_session(WINDOW_IN_HOST, 5);
    EXPECT_EQ(run_session_windows(fake, scene), 42);
}

TEST_F(SaverSession, InAHostAWindowThatCannotBeClosedIsALineAndCodeOne)
{
    enter_saver_session(WINDOW_IN_HOST, 5);
    close_fails = true;
    testing::internal::CaptureStderr();
    const int code = run_session_windows(fake, scene);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tarvelin_saver: SHUTDOWN ERROR: Could Not Release hWnd.\n");
    EXPECT_EQ(code, 1);
    EXPECT_EQ(calls.back(), "close");

    // Over the desktop it is a box, and the loop's code stands.
    reset_world(true);
    calls.clear();
    frames_drawn = 0;
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    EXPECT_EQ(run_session_windows(fake, scene), 42);
    EXPECT_EQ(calls.back(), "box Could Not Release hWnd.");
}

TEST_F(SaverSession, OverTheDesktopAFailureIsShownInABox)
{
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    open_fails = true;
    EXPECT_EQ(run_session_windows(fake, scene), EXIT_CANNOT_RUN);
    EXPECT_EQ(calls.back(), "box Can't Find The Window To Draw In.");
}

TEST(SaverMessages, OneLinePerMessage)
{
    EXPECT_EQ(message_line(MESSAGE_ASK_WINDOWED_FALLBACK),
              "tarvelin_saver: Kalo GL: The Requested Fullscreen Mode Is Not Supported By Your "
              "Video Card. Use Windowed Mode Instead?");
    for (int id = 0; id < MESSAGE_COUNT; ++id)
        EXPECT_EQ(message_line((message_id)id).find('\n'), std::string::npos) << id;
}

TEST(SaverMessages, TheSettingsDialogShowsTheCreditLine)
{
    const message_text& box = message_text_of(MESSAGE_SAVER_SETTINGS);
    EXPECT_EQ(box.buttons, MESSAGE_BUTTONS_OK);
    // The credit line as the screensaver draws it, without its empty tail.
    char credit[128];
    std::snprintf(credit, sizeof credit, credit_line_format(true), "");
    std::string line = credit;
    while (!line.empty() && line.back() == ' ') line.pop_back();
    EXPECT_NE(std::string(box.text).find(line), std::string::npos) << box.text;
}

TEST_F(SaverSession, InAHostsWindowFramesAreDrawnAtItsSizeUnlessAskedOtherwise)
{
    // A host may destroy its window under a design-size frame being finished.
    set_picture_resolution(RESOLUTION_AUTO);
    enter_saver_session(WINDOW_IN_HOST, 0);
    EXPECT_EQ(picture_resolution_choice(), RESOLUTION_WINDOW);
    set_picture_resolution(RESOLUTION_DESIGN);
    enter_saver_session(WINDOW_IN_HOST, 0);
    EXPECT_EQ(picture_resolution_choice(), RESOLUTION_DESIGN);
    set_picture_resolution(RESOLUTION_AUTO);
    enter_saver_session(WINDOW_OVER_DESKTOP, 0);
    EXPECT_EQ(picture_resolution_choice(), RESOLUTION_AUTO);
}
