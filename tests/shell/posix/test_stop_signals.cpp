// Stop signals: their exit codes, the wake-up of a waiting loop, and the end
// of a process whose thread is blocked in a message box.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "shell/pacing.h"
#include "shell/posix/stop_signals.h"

namespace {

// Installs the handlers for one test and puts the old ones back after it.
class StopSignals : public ::testing::Test {
protected:
    struct sigaction saved[3];
    const int signals[3] = {SIGTERM, SIGINT, SIGHUP};

    void SetUp() override
    {
        for (int k = 0; k < 3; ++k) sigaction(signals[k], nullptr, &saved[k]);
        install_stop_signals();
        forget_stop();
    }

    void TearDown() override
    {
        forget_stop();
        for (int k = 0; k < 3; ++k) sigaction(signals[k], &saved[k], nullptr);
    }
};

bool readable(int fd)
{
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

// Whether the process runs (a zombie waiting for its parent does not).
bool process_runs(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

}  // namespace

TEST_F(StopSignals, EachSignalIsAStopWithItsCode)
{
    int code = -1;
    EXPECT_FALSE(stop_requested(code));
    ASSERT_GE(stop_wake_fd(), 0);
    EXPECT_FALSE(readable(stop_wake_fd()));

    const struct {
        int signal_number;
        int code;
    } cases[] = {{SIGTERM, 0}, {SIGINT, 0}, {SIGHUP, 129}};
    for (const auto& c : cases) {
        forget_stop();
        raise(c.signal_number);
        ASSERT_TRUE(stop_requested(code)) << c.signal_number;
        EXPECT_EQ(code, c.code) << c.signal_number;
        EXPECT_TRUE(readable(stop_wake_fd()));
    }
    // The first stop's code stays: a hang-up after a TERM does not turn the
    // end into a failure.
    forget_stop();
    raise(SIGTERM);
    raise(SIGHUP);
    ASSERT_TRUE(stop_requested(code));
    EXPECT_EQ(code, 0);
    forget_stop();
    EXPECT_FALSE(stop_requested(code));
    EXPECT_FALSE(readable(stop_wake_fd()));
}

TEST_F(StopSignals, AWaitForTheNextFrameEndsAtOnce)
{
    // Without a stop the wait lasts until its deadline.
    const int64_t start = system_now_ns();
    EXPECT_TRUE(wait_until_stop_or_input(start + 20000000, -1));
    EXPECT_GE(system_now_ns() - start, 20000000);

    // A signal in the middle of a long wait ends it.
    std::thread sender([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(getpid(), SIGTERM);
    });
    const int64_t before = system_now_ns();
    EXPECT_FALSE(wait_until_stop_or_input(before + 10000000000LL, -1));
    const double waited = (double)(system_now_ns() - before) / 1e9;
    sender.join();
    EXPECT_LT(waited, 2.0);
    // A stop that has arrived ends every later wait at once.
    EXPECT_FALSE(wait_until_stop_or_input(system_now_ns() + 10000000000LL, -1));
}

TEST_F(StopSignals, InputOnTheGivenDescriptorEndsTheWait)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    const int64_t before = system_now_ns();
    EXPECT_FALSE(wait_until_stop_or_input(before + 10000000000LL, fds[0]));
    EXPECT_LT(system_now_ns() - before, 2000000000LL);
    close(fds[0]);
    close(fds[1]);
}

TEST_F(StopSignals, AStopWhileABoxIsUpEndsTheProcessWithItsCode)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The box's own loop never returns; the signal handler ends the process.
    auto blocked_box = [](int signal_number) {
        install_stop_signals();
        begin_blocking_box();
        raise(signal_number);
        for (;;) pause();
    };
    EXPECT_EXIT(blocked_box(SIGTERM), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(blocked_box(SIGINT), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(blocked_box(SIGHUP), testing::ExitedWithCode(129), "");
}

TEST_F(StopSignals, AStopBeforeABoxEndsTheProcessInsteadOfShowingIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto late_box = [] {
        install_stop_signals();
        raise(SIGTERM);
        begin_blocking_box();
        std::fputs("the box was shown", stderr);
        std::exit(3);
    };
    EXPECT_EXIT(late_box(), testing::ExitedWithCode(0), "");

    // After the box, a stop is the loop's business again.
    forget_stop();
    begin_blocking_box();
    end_blocking_box();
    raise(SIGTERM);
    int code = -1;
    EXPECT_TRUE(stop_requested(code));
}

TEST_F(StopSignals, TheBoxsOwnProcessEndsWithTheProgram)
{
    // SDL shows a box on X11 from a child process and waits for it; the
    // child must not outlive the program and leave its box on the screen.
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t program = fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        install_stop_signals();
        begin_blocking_box();
        const pid_t box = fork();
        if (box == 0) {
            for (;;) pause();
        }
        [[maybe_unused]] const ssize_t n = write(report[1], &box, sizeof box);
        waitpid(box, nullptr, 0);  // as SDL waits for its box
        end_blocking_box();
        _exit(5);
    }
    close(report[1]);
    pid_t box = 0;
    ASSERT_EQ(read(report[0], &box, sizeof box), (ssize_t)sizeof box);
    close(report[0]);
    ASSERT_TRUE(process_runs(box));

    kill(program, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(program, &status, 0), program);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // The box's process went first; give an orphan's reaping a moment.
    bool gone = false;
    for (int k = 0; k < 50 && !gone; ++k) {
        gone = !process_runs(box);
        if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(gone);
    if (!gone) kill(box, SIGKILL);
}
