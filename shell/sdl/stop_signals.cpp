// Stop signals: a flag and a self-pipe written by the handler, read by the loop and the waits.
#include "shell/sdl/stop_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <initializer_list>

#include "shell/pacing.h"

namespace {

// The stop's exit code plus one; 0 while no stop has arrived. Lock-free
// atomics are safe to touch from a signal handler.
std::atomic<int> stop_code_plus_one{0};
std::atomic<bool> box_up{false};
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free flag");
static_assert(std::atomic<bool>::is_always_lock_free, "the handler needs a lock-free flag");

int wake_pipe[2] = {-1, -1};
bool installed = false;

void on_stop_signal(int signal_number)
{
    const int saved_errno = errno;
    const int code = signal_number == SIGHUP ? STOP_CODE_HANGUP : STOP_CODE_REQUESTED;
    int expected = 0;
    stop_code_plus_one.compare_exchange_strong(expected, code + 1);
    // A box blocks the thread: nothing would look at the flag until it is
    // answered. The program leaves any display mode before it shows a box.
    if (box_up.load()) _exit(stop_code_plus_one.load() - 1);
    if (wake_pipe[1] >= 0) {
        const char byte = 1;
        // A full pipe already wakes the reader; nothing else can go wrong here.
        [[maybe_unused]] const ssize_t written = write(wake_pipe[1], &byte, 1);
    }
    errno = saved_errno;
}

bool make_wake_pipe()
{
    if (pipe(wake_pipe) != 0) return false;
    for (int fd : wake_pipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return true;
}

}  // namespace

void install_stop_signals()
{
    if (installed) return;
    installed = true;
    if (!make_wake_pipe()) wake_pipe[0] = wake_pipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    // Restarted calls keep library code unaware of the signal; the loop
    // learns of it through the flag and the pipe.
    action.sa_flags = SA_RESTART;
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

bool stop_requested(int& code)
{
    const int value = stop_code_plus_one.load();
    if (value == 0) return false;
    code = value - 1;
    return true;
}

int stop_wake_fd()
{
    return wake_pipe[0];
}

bool wait_until_stop_or_input(int64_t deadline_ns, int fd)
{
    for (;;) {
        int code = 0;
        if (stop_requested(code)) return false;
        const int64_t left = deadline_ns - system_now_ns();
        if (left <= 0) return true;
        pollfd fds[2] = {{stop_wake_fd(), POLLIN, 0}, {fd, POLLIN, 0}};
        const timespec timeout = {(time_t)(left / 1000000000), (long)(left % 1000000000)};
        const int ready = ppoll(fds, 2, &timeout, nullptr);
        if (ready > 0) return false;
        if (ready < 0 && errno != EINTR) return true;
    }
}

void begin_blocking_box()
{
    box_up.store(true);
    // A stop that came before the box went up is not waited on either.
    int code = 0;
    if (stop_requested(code)) _exit(code);
}

void end_blocking_box()
{
    box_up.store(false);
}

void forget_stop()
{
    stop_code_plus_one.store(0);
    if (wake_pipe[0] < 0) return;
    char buffer[64];
    while (read(wake_pipe[0], buffer, sizeof buffer) > 0) {
    }
}
