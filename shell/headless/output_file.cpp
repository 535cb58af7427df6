// Output files written through a temporary file and a rename, or streamed.
#include "shell/headless/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t BUFFER_SIZE = 256 * 1024;
constexpr int MAX_LINK_HOPS = 40;  // as the kernel's own limit
constexpr int CLEANUP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

// Temporary files to remove if a signal ends the process. A writer claims a
// free slot (FREE to CLAIMED), fills in the path and publishes it (IN_USE),
// all with the cleanup signals blocked in its thread; the handler reads only
// published slots.
enum { FREE = 0, CLAIMED = 1, IN_USE = 2 };
struct cleanup_slot {
    std::atomic<int> state{FREE};
    char path[PATH_MAX];
};
cleanup_slot cleanup_slots[8];

extern "C" void remove_temporaries_and_end(int sig)
{
    for (cleanup_slot& slot : cleanup_slots)
        if (slot.state.load() == IN_USE) unlink(slot.path);
    // End the way the signal would have: default action, raised again; it is
    // delivered when the handler returns and the signal is unblocked.
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    sigemptyset(&plain.sa_mask);
    sigaction(sig, &plain, nullptr);
    raise(sig);
}

// Installs the handlers once, leaving alone any signal whose action someone
// else has set (an ignored SIGHUP under nohup, a test framework's handler).
void install_signal_cleanup()
{
    static std::atomic<bool> installed{false};
    if (installed.exchange(true)) return;
    struct sigaction current {};
    for (int sig : CLEANUP_SIGNALS) {
        if (sigaction(sig, nullptr, &current) != 0) continue;
        if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) continue;
        struct sigaction cleanup {};
        cleanup.sa_handler = remove_temporaries_and_end;
        sigemptyset(&cleanup.sa_mask);
        for (int other : CLEANUP_SIGNALS) sigaddset(&cleanup.sa_mask, other);
        sigaction(sig, &cleanup, nullptr);
    }
    // Past a file-size limit a write fails with EFBIG instead of the signal
    // killing the process with the temporary file left behind.
    if (sigaction(SIGXFSZ, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
        current.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, nullptr);
    }
}

// Blocks the cleanup signals in this thread for its lifetime, so that a
// temporary file and its cleanup entry come and go together.
class cleanup_signals_blocked {
public:
    cleanup_signals_blocked()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : CLEANUP_SIGNALS) sigaddset(&set, sig);
        pthread_sigmask(SIG_BLOCK, &set, &saved_);
    }
    ~cleanup_signals_blocked() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    cleanup_signals_blocked(const cleanup_signals_blocked&) = delete;
    cleanup_signals_blocked& operator=(const cleanup_signals_blocked&) = delete;

private:
    sigset_t saved_;
};

// Call with the cleanup signals blocked. -1 when the list is full or the path too long.
int add_cleanup(const std::string& path)
{
    if (path.size() >= PATH_MAX) return -1;
    for (int k = 0; k < (int)(sizeof cleanup_slots / sizeof cleanup_slots[0]); ++k) {
        cleanup_slot& slot = cleanup_slots[k];
        int expected = FREE;
        if (!slot.state.compare_exchange_strong(expected, CLAIMED)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(IN_USE);
        return k;
    }
    return -1;
}

void drop_cleanup(int slot)
{
    if (slot >= 0) cleanup_slots[slot].state.store(FREE);
}

std::string message(const char* what, const std::string& path, const char* reason)
{
    std::string m = "cannot write ";
    if (what && *what) m += std::string(what) + " ";
    return m + "'" + path + "': " + reason;
}

// "dir/" for "dir/name", "" for a bare name.
std::string folder_part(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string folder_or_dot(const std::string& path)
{
    const std::string folder = folder_part(path);
    return folder.empty() ? std::string(".") : folder;
}

// Follows symbolic links at the end of `path` as open() would, including a
// link to a file that does not exist yet. Sets errno and returns false when
// the chain cannot be followed.
bool follow_links(const std::string& path, std::string& resolved)
{
    std::string p = path;
    for (int hop = 0; hop <= MAX_LINK_HOPS; ++hop) {
        struct stat st;
        if (lstat(p.c_str(), &st) != 0) {
            if (errno != ENOENT) return false;
            resolved = p;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            resolved = p;
            return true;
        }
        char link[PATH_MAX + 1];
        const ssize_t n = readlink(p.c_str(), link, sizeof link);
        if (n < 0) return false;
        if ((size_t)n >= sizeof link) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string to(link, (size_t)n);
        p = to[0] == '/' ? to : folder_part(p) + to;
    }
    errno = ELOOP;
    return false;
}

// An existing regular file may be replaced only if it is writable by this
// process and by someone at all: a file with no write bit is read-only even
// to root, who passes every access check.
bool writable_file(const std::string& path, const struct stat& st)
{
    return (st.st_mode & 0222) != 0 && faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

bool writable_folder(const std::string& folder, std::string& reason)
{
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        reason = std::strerror(ENOTDIR);
        return false;
    }
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

// A name no other writer picks: process id, a counter and the clock, mixed.
std::string temporary_name()
{
    static std::atomic<uint64_t> counter{0};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    uint64_t x = ((uint64_t)getpid() << 40) ^ (counter.fetch_add(1) << 20) ^ (uint64_t)now.tv_nsec ^
                 ((uint64_t)now.tv_sec << 30);
    // splitmix64's finaliser
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    x ^= x >> 31;
    char name[40];
    std::snprintf(name, sizeof name, ".tarvelin-%012llx.partial", (unsigned long long)(x & 0xffffffffffffull));
    return name;
}

bool write_all(int fd, const unsigned char* bytes, size_t size, int& failure)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, bytes, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            failure = errno;
            return false;
        }
        bytes += n;
        size -= (size_t)n;
    }
    return true;
}

// Makes a rename durable; some file systems refuse to sync a folder, which is no failure.
void sync_folder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    ::close(fd);
}

}  // namespace

bool check_output_path(const std::string& path, const char* what, std::string& error)
{
    install_signal_cleanup();
    if (path == "-") return true;
    if (path.empty()) {
        error = message(what, path, "no file name");
        return false;
    }
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (!S_ISDIR(st.st_mode)) return true;  // a device or a FIFO: streamed to
        error = message(what, path, "it is a folder");
        return false;
    }
    std::string target;
    if (!follow_links(path, target)) {
        error = message(what, path, std::strerror(errno));
        return false;
    }
    if (stat(target.c_str(), &st) == 0 && !writable_file(target, st)) {
        error = message(what, path, "the file is read-only");
        return false;
    }
    std::string reason;
    if (!writable_folder(folder_or_dot(target), reason)) {
        error = message(what, path, reason.c_str());
        return false;
    }
    return true;
}

bool check_output_folder(const std::string& folder, std::string& error)
{
    install_signal_cleanup();
    std::string reason;
    if (writable_folder(folder, reason)) return true;
    error = "cannot write into folder '" + folder + "': " + reason;
    return false;
}

output_file::~output_file()
{
    abandon();
}

bool output_file::open(const std::string& path, const char* what, std::string& error)
{
    abandon();
    what_ = what ? what : "";
    shown_ = path;
    failure_ = 0;
    used_ = 0;
    if (path == "-") {
        fd_ = STDOUT_FILENO;
        own_fd_ = false;
        streaming_ = true;
        buffer_.resize(BUFFER_SIZE);
        return true;
    }
    if (path.empty()) {
        error = message(what, path, "no file name");
        return false;
    }
    install_signal_cleanup();

    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            error = message(what, path, "it is a folder");
            return false;
        }
        // A device or a FIFO: written as it is; opening a FIFO waits for its reader.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            error = message(what, path, std::strerror(errno));
            return false;
        }
        fd_ = fd;
        own_fd_ = true;
        streaming_ = true;
        buffer_.resize(BUFFER_SIZE);
        return true;
    }

    std::string target;
    if (!follow_links(path, target)) {
        error = message(what, path, std::strerror(errno));
        return false;
    }
    bool keep_mode = false;
    mode_t mode = 0;
    if (stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {  // the link's end changed under us
            error = message(what, path, "not a regular file");
            return false;
        }
        if (!writable_file(target, st)) {
            error = message(what, path, "the file is read-only");
            return false;
        }
        keep_mode = true;
        mode = st.st_mode & 0777;
    }

    const std::string folder = folder_part(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = folder + temporary_name();
        cleanup_signals_blocked blocked;
        const int slot = add_cleanup(temporary);
        // 0666 less the umask, as a new file would get; an existing file's bits are copied below.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            const int err = errno;
            drop_cleanup(slot);
            if (err == EEXIST) continue;
            error = message(what, path, std::strerror(err));
            return false;
        }
        if (keep_mode) fchmod(fd, mode);
        fd_ = fd;
        own_fd_ = true;
        streaming_ = false;
        slot_ = slot;
        target_ = target;
        temporary_ = temporary;
        buffer_.resize(BUFFER_SIZE);
        return true;
    }
    error = message(what, path, "no free temporary file name in its folder");
    return false;
}

bool output_file::write(const void* bytes, size_t size)
{
    if (fd_ < 0 || failure_) return false;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    if (used_ + size > buffer_.size()) {
        if (!flush()) return false;
        if (size >= buffer_.size()) return write_all(fd_, p, size, failure_);
    }
    std::memcpy(buffer_.data() + used_, p, size);
    used_ += size;
    return true;
}

bool output_file::flush()
{
    if (failure_) return false;
    const bool ok = write_all(fd_, buffer_.data(), used_, failure_);
    used_ = 0;
    return ok;
}

void output_file::close_descriptor()
{
    if (fd_ >= 0 && own_fd_) ::close(fd_);
    fd_ = -1;
    own_fd_ = false;
}

bool output_file::commit(std::string& error)
{
    if (fd_ < 0) {
        error = message(what_.c_str(), shown_, "the file is not open");
        return false;
    }
    bool ok = flush();
    if (ok && !streaming_ && fsync(fd_) != 0) {
        failure_ = errno;
        ok = false;
    }
    if (own_fd_) {
        const int fd = fd_;
        fd_ = -1;
        own_fd_ = false;
        if (::close(fd) != 0 && ok) {
            failure_ = errno;
            ok = false;
        }
    } else {
        fd_ = -1;
    }
    if (!ok) {
        error = "writing " + (what_.empty() ? std::string() : what_ + " ") + "'" + shown_ +
                "' failed: " + std::strerror(failure_);
        abandon();
        return false;
    }
    if (streaming_) return true;

    int err = 0;
    {
        cleanup_signals_blocked blocked;
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
            err = errno;
            unlink(temporary_.c_str());
        }
        drop_cleanup(slot_);
        slot_ = -1;
        temporary_.clear();
    }
    if (err) {
        error = message(what_.c_str(), shown_, std::strerror(err));
        return false;
    }
    sync_folder(folder_or_dot(target_));
    return true;
}

void output_file::abandon()
{
    close_descriptor();
    used_ = 0;
    if (temporary_.empty()) return;
    cleanup_signals_blocked blocked;
    unlink(temporary_.c_str());
    drop_cleanup(slot_);
    slot_ = -1;
    temporary_.clear();
}
