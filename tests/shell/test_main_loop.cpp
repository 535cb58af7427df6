// The message loop's rules, driven by a fake event source and a fake window.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "common/keys.h"
#include "common/world.h"
#include "shell/main_loop.h"

namespace {

// The fake platform: a queue of events and a log of what the loop asked for.
std::deque<platform_event> queue;
std::vector<std::string> calls;
int frames_drawn;
int open_failures_left;  // the next open_window calls that fail
bool escape_ends_frames;  // the fake frame driver sets done while Escape is held

bool fake_poll(platform_event& event)
{
    if (queue.empty()) return false;
    event = queue.front();
    queue.pop_front();
    return true;
}

void fake_resize(int width, int height)
{
    calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
}

void fake_draw()
{
    ++frames_drawn;
    calls.push_back("frame");
    if (escape_ends_frames && world.keys[VK_CODE_ESCAPE]) world.done = true;
}

void fake_idle()
{
    calls.push_back("idle");
}

bool fake_open()
{
    calls.push_back(world.fullscreen ? "open full" : "open window");
    if (open_failures_left > 0) {
        --open_failures_left;
        return false;
    }
    return true;
}

void fake_close()
{
    calls.push_back("close");
}

const platform_seam seam = {fake_poll, fake_resize, fake_draw, fake_idle, fake_open, fake_close};

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

class MainLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_world(false);
        queue.clear();
        calls.clear();
        frames_drawn = 0;
        open_failures_left = 0;
        escape_ends_frames = true;
    }

    void turns(int n)
    {
        for (int i = 0; i < n; ++i) ASSERT_TRUE(run_loop_turn(seam));
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

TEST_F(MainLoop, MinimisingStopsFramesAndRestoringStartsThem)
{
    queue = {activate(true)};
    turns(4);
    EXPECT_FALSE(world.active);
    EXPECT_EQ(frames_drawn, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"idle", "idle", "idle"}));

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

TEST_F(MainLoop, OneF1KeyDownMakesExactlyOneSwitch)
{
    ASSERT_TRUE(world.fullscreen);
    queue = {key_down(VK_CODE_F1)};
    turns(4);
    EXPECT_FALSE(world.keys[VK_CODE_F1]);
    EXPECT_FALSE(world.fullscreen);
    // The frame of that turn comes first, then close and open with the
    // inverted mode; later turns only draw.
    EXPECT_EQ(calls, (std::vector<std::string>{"frame", "close", "open window", "frame", "frame"}));

    // A further key-down switches back.
    queue = {key_down(VK_CODE_F1)};
    turns(2);
    EXPECT_TRUE(world.fullscreen);
    EXPECT_EQ(calls.back(), "open full");
}

TEST_F(MainLoop, F1SwitchesWhileMinimised)
{
    queue = {activate(true), key_down(VK_CODE_F1)};
    turns(3);
    EXPECT_EQ(frames_drawn, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"idle", "close", "open window"}));
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
    for (const std::string& c : calls) EXPECT_EQ(c, "frame");
}

TEST_F(MainLoop, QuitEventEndsTheLoopWithItsCode)
{
    queue = {key_down(VK_CODE_UP), quit(0), key_down(VK_CODE_Q)};
    EXPECT_EQ(run_main_loop(seam), 0);
    EXPECT_TRUE(world.done);
    EXPECT_EQ(frames_drawn, 0);
    EXPECT_FALSE(world.keys[VK_CODE_Q]);  // nothing after the quit is taken
    EXPECT_EQ(calls, (std::vector<std::string>{"close"}));

    reset_world(false);
    calls.clear();
    queue = {quit(3)};
    EXPECT_EQ(run_main_loop(seam), 3);
}

TEST_F(MainLoop, EscapeEndsTheLoopAfterTheFrameWithExitCodeZero)
{
    // A quit code left over from an earlier loop does not leak into this one.
    queue = {quit(9)};
    run_main_loop(seam);
    reset_world(false);
    calls.clear();
    frames_drawn = 0;

    queue = {key_down(VK_CODE_ESCAPE)};
    EXPECT_EQ(run_main_loop(seam), 0);
    EXPECT_EQ(frames_drawn, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"frame", "close"}));
}

TEST_F(MainLoop, FailedReopenAfterF1EndsWithoutClosingAgain)
{
    open_failures_left = 1;
    queue = {key_down(VK_CODE_F1)};
    EXPECT_EQ(run_main_loop(seam), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"frame", "close", "open window"}));
    EXPECT_FALSE(world.done);
}

TEST_F(MainLoop, IdleIsOptional)
{
    platform_seam no_idle = seam;
    no_idle.idle = nullptr;
    queue = {activate(true)};
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(run_loop_turn(no_idle));
    EXPECT_TRUE(calls.empty());
}
