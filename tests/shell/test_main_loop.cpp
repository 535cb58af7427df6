// The program's rules on any platform, driven through a fake platform and a fake scene.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "common/keys.h"
#include "common/world.h"
#include "render/font.h"
#include "shell/pacing.h"
#include "shell/command_line.h"
#include "shell/program.h"

namespace {

// The fake platform: a queue of events, a clock that moves only when waited
// on, scripted answers, and a log of what the program asked for.
std::deque<platform_event> queue;
std::vector<std::string> calls;
std::deque<message_answer> answers;  // the next message boxes' answers (default: Yes)
int frames_drawn;
int open_failures_left;      // the next open_window calls that fail
bool mode_missing;           // enter_display_mode fails
bool context_open;
int64_t fake_time;
bool escape_ends_frames;     // the fake frame driver sets done while Escape is held
int fonts_made, fonts_freed;

bool fake_open_display(message_id&)
{
    return true;
}

bool fake_enter_mode(int width, int height, int)
{
    calls.push_back("mode " + std::to_string(width) + "x" + std::to_string(height));
    return !mode_missing;
}

void fake_leave_mode()
{
    calls.push_back("leave mode");
}

bool fake_open(const window_request& request, message_id& failure)
{
    calls.push_back(request.fullscreen ? "open full" : "open window");
    if (open_failures_left > 0) {
        --open_failures_left;
        failure = MESSAGE_NO_PIXEL_FORMAT;
        return false;
    }
    context_open = true;
    return true;
}

bool fake_has_context()
{
    return context_open;
}

void fake_close()
{
    calls.push_back("close");
    context_open = false;
}

void fake_swap() {}

bool fake_poll(platform_event& event)
{
    if (queue.empty()) return false;
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
    calls.push_back("wait");
    if (fake_time < deadline) fake_time = deadline;
    return true;
}

message_answer fake_box(message_id id)
{
    calls.push_back(std::string("box ") + message_text_of(id).caption);
    if (answers.empty()) return message_text_of(id).buttons == MESSAGE_BUTTONS_OK ? ANSWER_OK : ANSWER_YES;
    const message_answer a = answers.front();
    answers.pop_front();
    return a;
}

void fake_make_font()
{
    ++fonts_made;
}

void fake_free_font()
{
    ++fonts_freed;
}

const platform fake = {
    nullptr,        nullptr,  fake_open_display, fake_enter_mode, fake_leave_mode,
    fake_open,      fake_has_context, fake_close, fake_swap, fake_poll,
    fake_now,       fake_wait, fake_box,         {fake_make_font, fake_free_font},
    nullptr,        nullptr,
};

bool fake_draw()
{
    ++frames_drawn;
    calls.push_back("frame");
    if (escape_ends_frames && world.keys[VK_CODE_ESCAPE]) world.done = true;
    return true;
}

void fake_resize(int width, int height)
{
    calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
}

bool fake_setup()
{
    fake_make_font();
    return true;
}

const program_scene scene = {fake_draw, fake_resize, fake_setup};

platform_event key_down(int key)
{
    platform_event e = {};
    e.kind = PLATFORM_EVENT_KEY_DOWN;
    e.key = key;
    return e;
}

platform_event key_up(int key)
{
    platform_event e = key_down(key);
    e.kind = PLATFORM_EVENT_KEY_UP;
    return e;
}

platform_event activate(bool minimised)
{
    platform_event e = {};
    e.kind = PLATFORM_EVENT_ACTIVATE;
    e.minimised = minimised;
    return e;
}

platform_event quit(int code)
{
    platform_event e = {};
    e.kind = PLATFORM_EVENT_QUIT;
    e.code = code;
    return e;
}

// The log without the pacing's waits, for tests about what is drawn.
std::vector<std::string> without_waits()
{
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c != "wait") out.push_back(c);
    return out;
}

class MainLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_world(false);
        queue.clear();
        calls.clear();
        answers.clear();
        frames_drawn = 0;
        open_failures_left = 0;
        mode_missing = false;
        context_open = true;  // the loop's tests start with the window open
        fake_time = 1000;
        escape_ends_frames = true;
        fonts_made = fonts_freed = 0;
        // As open_program_window does for the window the test starts with.
        use_font_source(fake.font);
        reset_program_loop();
    }

    void turns(int n)
    {
        for (int i = 0; i < n; ++i) ASSERT_TRUE(run_loop_turn(fake, scene));
    }
};

}  // namespace

TEST_F(MainLoop, OneEventPerTurnAndFramesOnlyWhenTheQueueIsEmpty)
{
    queue = {key_down(VK_CODE_UP), key_down(VK_CODE_Q), key_up(VK_CODE_UP)};
    turns(1);
    EXPECT_TRUE(world.keys[VK_CODE_UP]);
    EXPECT_FALSE(world.keys[VK_CODE_Q]);
    turns(2);
    EXPECT_EQ(frames_drawn, 0);
    EXPECT_FALSE(world.keys[VK_CODE_UP]);
    EXPECT_TRUE(world.keys[VK_CODE_Q]);
    turns(3);
    EXPECT_EQ(frames_drawn, 3);
}

TEST_F(MainLoop, KeysFollowDownAndUpAndIgnoreCodesOutsideTheTable)
{
    // Auto-repeat: more key-downs keep the key set; one key-up clears it.
    queue = {key_down(VK_CODE_LEFT), key_down(VK_CODE_LEFT), key_down(VK_CODE_LEFT)};
    turns(3);
    EXPECT_TRUE(world.keys[VK_CODE_LEFT]);
    queue = {key_up(VK_CODE_LEFT)};
    turns(1);
    EXPECT_FALSE(world.keys[VK_CODE_LEFT]);

    // The test's world has nothing after the key table that a stray write
    // could reach unseen except the client size; watch both.
    bool keys_before[KEY_TABLE_SIZE];
    for (int k = 0; k < KEY_TABLE_SIZE; ++k) keys_before[k] = world.keys[k];
    world.client_width = 1234;
    queue = {key_down(-1), key_down(KEY_TABLE_SIZE), key_down(100000), key_up(-5)};
    turns(4);
    for (int k = 0; k < KEY_TABLE_SIZE; ++k) EXPECT_EQ(world.keys[k], keys_before[k]) << k;
    EXPECT_EQ(world.client_width, 1234);
    EXPECT_FALSE(world.done);
    EXPECT_TRUE(world.active);

    // The table's ends are real entries.
    queue = {key_down(0), key_down(KEY_TABLE_SIZE - 1)};
    turns(2);
    EXPECT_TRUE(world.keys[0]);
    EXPECT_TRUE(world.keys[KEY_TABLE_SIZE - 1]);
}

TEST_F(MainLoop, MinimisingStopsFramesButNotThePacing)
{
    queue = {activate(true)};
    turns(4);
    EXPECT_FALSE(world.active);
    EXPECT_EQ(frames_drawn, 0);
    // A minimised window still turns at the frame rate instead of spinning:
    // the first turn needs no wait, each later one waits a frame.
    EXPECT_EQ(calls, (std::vector<std::string>{"wait", "wait"}));
    EXPECT_GE(fake_time, 1000 + 2 * FRAME_INTERVAL_NS);

    queue = {activate(false)};
    turns(3);
    EXPECT_TRUE(world.active);
    EXPECT_EQ(frames_drawn, 2);

    // Losing the focus without being minimised leaves the frames going.
    queue = {activate(false)};
    turns(2);
    EXPECT_TRUE(world.active);
    EXPECT_EQ(frames_drawn, 3);
}

TEST_F(MainLoop, ResizeGoesToTheSizeHandler)
{
    platform_event e = {};
    e.kind = PLATFORM_EVENT_RESIZE;
    e.width = 800;
    e.height = 0;
    queue = {e};
    turns(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"resize 800x0"}));
}

TEST_F(MainLoop, OneF1KeyDownMakesExactlyOneSwitchAndReleasesTheContextsLists)
{
    ASSERT_TRUE(world.fullscreen);
    queue = {key_down(VK_CODE_F1)};
    turns(4);
    EXPECT_FALSE(world.keys[VK_CODE_F1]);
    EXPECT_FALSE(world.fullscreen);
    // The frame of that turn comes first, then the desktop's mode, the
    // close, and the open with the inverted mode, its size and GL state;
    // later turns only draw.
    EXPECT_EQ(without_waits(),
              (std::vector<std::string>{"frame", "leave mode", "close", "open window",
                                        "resize 1024x768", "frame", "frame"}));
    // The old context's font went with it; the new one made its own.
    EXPECT_EQ(fonts_freed, 1);
    EXPECT_EQ(fonts_made, 1);

    // A further key-down switches back, through the display mode.
    calls.clear();
    queue = {key_down(VK_CODE_F1)};
    turns(2);
    EXPECT_TRUE(world.fullscreen);
    EXPECT_EQ(without_waits(), (std::vector<std::string>{"frame", "close", "mode 1024x768",
                                                         "open full", "resize 1024x768"}));
}

TEST_F(MainLoop, F1SwitchesWhileMinimised)
{
    queue = {activate(true), key_down(VK_CODE_F1)};
    turns(3);
    EXPECT_EQ(frames_drawn, 0);
    EXPECT_EQ(without_waits(), (std::vector<std::string>{"leave mode", "close", "open window",
                                                         "resize 1024x768"}));
    EXPECT_FALSE(world.fullscreen);
}

TEST_F(MainLoop, F1ReleasedBeforeTheQueueEmptiesIsNotSeen)
{
    // The switch looks at the key only when no event waits, so a key-up
    // already queued behind the key-down cancels it.
    queue = {key_down(VK_CODE_F1), key_up(VK_CODE_F1)};
    turns(4);
    EXPECT_TRUE(world.fullscreen);
    EXPECT_EQ(frames_drawn, 2);
    for (const std::string& c : without_waits()) EXPECT_EQ(c, "frame");
}

TEST_F(MainLoop, FramesComeAtMostSixtyASecond)
{
    // Frames that draw in no time at all still wait out the interval.
    const int64_t start = fake_time;
    turns(61);
    EXPECT_EQ(frames_drawn, 61);
    EXPECT_GE(fake_time - start, 60 * FRAME_INTERVAL_NS);
}

TEST_F(MainLoop, QuitEventEndsTheLoopWithItsCode)
{
    queue = {key_down(VK_CODE_UP), quit(0), key_down(VK_CODE_Q)};
    EXPECT_EQ(run_main_loop(fake, scene), 0);
    EXPECT_TRUE(world.done);
    EXPECT_EQ(frames_drawn, 0);
    EXPECT_FALSE(world.keys[VK_CODE_Q]);  // nothing after the quit is taken
    EXPECT_EQ(calls, (std::vector<std::string>{"leave mode", "close"}));

    reset_world(false);
    calls.clear();
    queue = {quit(3)};
    EXPECT_EQ(run_main_loop(fake, scene), 3);
}

TEST_F(MainLoop, EscapeEndsTheLoopAfterTheFrameWithExitCodeZero)
{
    // A quit code left over from an earlier loop does not leak into this one.
    queue = {quit(9)};
    run_main_loop(fake, scene);
    reset_world(false);
    world.fullscreen = false;
    calls.clear();
    frames_drawn = 0;

    queue = {key_down(VK_CODE_ESCAPE)};
    EXPECT_EQ(run_main_loop(fake, scene), 0);
    EXPECT_EQ(frames_drawn, 1);
    EXPECT_EQ(without_waits(), (std::vector<std::string>{"frame", "close"}));
}

TEST_F(MainLoop, FailedReopenAfterF1ShowsItsMessageThenReturnsToTheWindowItLeft)
{
    // Full screen to a window fails: its message, then full screen again,
    // and the loop goes on.
    open_failures_left = 1;
    queue = {key_down(VK_CODE_F1)};
    turns(3);
    EXPECT_TRUE(world.fullscreen);
    EXPECT_FALSE(world.done);
    EXPECT_EQ(without_waits(),
              (std::vector<std::string>{"frame", "leave mode", "close", "open window", "close", "box ERROR",
                                        "mode 1024x768", "open full", "resize 1024x768", "frame"}));

    // A window offered instead and declined ends the program as its box says.
    world.fullscreen = false;
    calls.clear();
    mode_missing = true;
    answers = {ANSWER_NO};
    queue = {key_down(VK_CODE_F1)};
    EXPECT_EQ(run_main_loop(fake, scene), EXIT_CANNOT_RUN);
    EXPECT_EQ(without_waits(), (std::vector<std::string>{"frame", "close", "mode 1024x768", "box Kalo GL",
                                                         "box ERROR"}));

    // Where neither kind opens, the program ends with the message shown.
    world.fullscreen = true;
    mode_missing = false;
    calls.clear();
    open_failures_left = 2;
    queue = {key_down(VK_CODE_F1)};
    EXPECT_EQ(run_main_loop(fake, scene), EXIT_CANNOT_RUN);
    EXPECT_EQ(without_waits(),
              (std::vector<std::string>{"frame", "leave mode", "close", "open window", "close", "box ERROR",
                                        "mode 1024x768", "open full", "leave mode", "close", "box ERROR"}));
}

TEST_F(MainLoop, MissingFullScreenModeOffersAWindow)
{
    context_open = false;
    mode_missing = true;
    answers = {ANSWER_YES};
    ASSERT_TRUE(open_program_window(fake, scene));
    EXPECT_FALSE(world.fullscreen);
    EXPECT_EQ(calls, (std::vector<std::string>{"mode 1024x768", "box Kalo GL", "open window",
                                               "resize 1024x768"}));

    // Refused: the program will close, and no window is made.
    calls.clear();
    world.fullscreen = true;
    answers = {ANSWER_NO};
    EXPECT_FALSE(open_program_window(fake, scene));
    EXPECT_EQ(calls, (std::vector<std::string>{"mode 1024x768", "box Kalo GL", "box ERROR"}));
}

TEST_F(MainLoop, StartQuestionsAndStartValues)
{
    // No to full screen, Yes to soft mode: a 640 x 480 window, small layout.
    answers = {ANSWER_NO, ANSWER_YES};
    ask_start_questions(fake, program_options());
    EXPECT_FALSE(world.fullscreen);
    EXPECT_EQ(world.mode_width, 640);
    EXPECT_EQ(world.mode_height, 480);
    EXPECT_FALSE(world.large_layout);
    EXPECT_EQ(calls, (std::vector<std::string>{"box Start FullScreen?", "box Start In A Soft Mode?"}));

    // A box that could not be shown, or was closed without a button, changes
    // nothing: full screen, 1024 x 768.
    reset_world(false);
    answers = {ANSWER_NOT_SHOWN, ANSWER_NONE};
    ask_start_questions(fake, program_options());
    EXPECT_TRUE(world.fullscreen);
    EXPECT_EQ(world.mode_width, 1024);
    EXPECT_TRUE(world.large_layout);
}

TEST_F(MainLoop, WithoutABoxAFailureIsOneLineAndAQuestionKeepsItsText)
{
    platform no_boxes = fake;
    no_boxes.failure_cause = [] { return "no display"; };
    context_open = false;
    world.fullscreen = false;
    open_failures_left = 1;
    answers = {ANSWER_NOT_SHOWN};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(open_program_window(no_boxes, scene));
    std::string err = testing::internal::GetCapturedStderr();
    // The program's line with the cause, and nothing else.
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_NE(err.find(": Can't Find A Suitable PixelFormat. (no display)\n"), std::string::npos) << err;

    answers = {ANSWER_NOT_SHOWN, ANSWER_YES};
    testing::internal::CaptureStderr();
    ask_start_questions(no_boxes, program_options());
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Start FullScreen?: Would You Like To Run In Fullscreen Mode?\n"
                   "(no message box: no display)\n");
}

TEST_F(MainLoop, AStepOfClosingThatFailsShowsItsBoxWhileTheWindowCloses)
{
    platform failing_close = fake;
    failing_close.close_window = [] {
        calls.push_back("close");
        report_close_failure(MESSAGE_CONTEXT_NOT_RELEASED);
        calls.push_back("closed");
    };
    world.fullscreen = false;
    close_program_window(failing_close);
    EXPECT_EQ(calls, (std::vector<std::string>{"close", "box SHUTDOWN ERROR", "closed"}));
}

TEST(Messages, EveryIdHasItsOwnTextAndAnOutOfRangeIdIsSafe)
{
    for (int id = 0; id < MESSAGE_COUNT; ++id) {
        const message_text& box = message_text_of((message_id)id);
        ASSERT_NE(box.caption, nullptr);
        ASSERT_NE(box.text, nullptr);
        for (int other = 0; other < id; ++other)
            EXPECT_STRNE(box.text, message_text_of((message_id)other).text) << id << " " << other;
    }
    EXPECT_STREQ(message_text_of((message_id)-1).text, "Initialization Failed.");
    EXPECT_STREQ(message_text_of(MESSAGE_COUNT).text, "Initialization Failed.");
}

TEST_F(MainLoop, AStopDuringStartUpEndsTheProgramBeforeTheQuestionsWithItsCode)
{
    // The generation asks between its passes; the second answer, after the
    // lake bed's pits, is a hang-up, and the program asks once more for its code.
    static int asks;
    asks = 0;
    platform stopping = fake;
    stopping.stop_requested = [](int& code) {
        code = 129;
        return ++asks >= 2;
    };
    EXPECT_EQ(run_program(stopping, PROGRAM_VIEWER, program_options()), 129);
    EXPECT_EQ(asks, 3);
    EXPECT_TRUE(calls.empty());  // no question asked, no window opened
}
