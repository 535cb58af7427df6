// Stop signals: a flag and self-pipes written by the handler, read by the loop, the waits and a
// watchdog that ends the process while a message box blocks the loop.
#include "shell/posix/stop_signals.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <initializer_list>
#include <thread>

#include "shell/event_queue.h"
#include "shell/pacing.h"

namespace {

// The stop's exit code plus one; 0 while no stop has arrived. Lock-free
// atomics are safe to touch from a signal handler.
std::atomic<int> stop_code_plus_one{0};
std::atomic<bool> box_up{false};
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free flag");
static_assert(std::atomic<bool>::is_always_lock_free, "the handler needs a lock-free flag");

// Read by the loop's waits (non-blocking), and by the watchdog (blocking).
int wake_pipe[2] = {-1, -1};
int watchdog_pipe[2] = {-1, -1};
// The process the pipes and the watchdog thread belong to: a forked child
// has no watchdog, and shares its parent's pipes until it makes its own.
pid_t owner_process = 0;

void poke(int fd)
{
    if (fd < 0) return;
    const char byte = 1;
    // A full pipe already wakes its reader; nothing else can go wrong here.
    [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
}

void on_stop_signal(int signal_number)
{
    const int saved_errno = errno;
    const int code = signal_number == SIGHUP ? STOP_CODE_HANGUP : STOP_CODE_REQUESTED;
    int expected = 0;
    stop_code_plus_one.compare_exchange_strong(expected, code + 1);
    poke(wake_pipe[1]);
    poke(watchdog_pipe[1]);
    errno = saved_errno;
}

bool make_pipe(int fds[2], bool non_blocking)
{
    if (pipe2(fds, O_CLOEXEC | (non_blocking ? O_NONBLOCK : 0)) == 0) {
        fcntl(fds[1], F_SETFL, O_NONBLOCK);  // the handler never blocks on a full pipe
        return true;
    }
    fds[0] = fds[1] = -1;
    return false;
}

// In a child process (SDL shows each box on X11 from a child of its own, a
// helper program is started from one): the stop signals act as they do by
// default, and the child ends when this process ends, however it ends, so
// that no box stays on the screen holding the parent's standard error.
void after_fork_in_child()
{
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) signal(signal_number, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != owner_process) _exit(1);  // the parent ended before prctl
}

// Waits for stops; one that comes while a box blocks the loop ends the
// process with its code. The program leaves any display mode before it
// shows a box, so there is none to restore here.
void watch_for_stops()
{
    for (;;) {
        char byte;
        const ssize_t got = read(watchdog_pipe[0], &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return;
        int code = 0;
        if (box_up.load() && stop_requested(code)) _exit(code);
    }
}

}  // namespace

void install_stop_signals()
{
    if (owner_process != getpid()) {
        owner_process = getpid();
        make_pipe(wake_pipe, true);
        make_pipe(watchdog_pipe, false);
        if (watchdog_pipe[0] >= 0) std::thread(watch_for_stops).detach();
        static bool fork_rule = pthread_atfork(nullptr, nullptr, after_fork_in_child) == 0;
        (void)fork_rule;
    }
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

bool stop_event(platform_event& event)
{
    int code = 0;
    if (!stop_requested(code)) return false;
    event = quit_event(code);
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
    // A stop that came before the box went up is not waited on either. One
    // that comes later wakes the watchdog, which then sees the box up.
    int code = 0;
    if (stop_requested(code)) _exit(code);
}

void end_blocking_box()
{
    // The box may have come back because the watchdog ended its process:
    // the program ends as the watchdog is about to end it.
    int code = 0;
    if (stop_requested(code)) _exit(code);
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
