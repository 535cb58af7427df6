// Output files written through a temporary file and a rename, or streamed.
#include "shell/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <system_error>


namespace {

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

// Temporary files to remove when a stop signal ends the process: a writer
// puts its temporary's path in a free slot before it makes the file, and
// takes it out once the file is renamed or removed.
std::atomic<const char*> temporaries[8];

extern "C" void remove_temporaries(int sig)
{
    for (const auto& slot : temporaries)
        if (const char* path = slot.load()) unlink(path);
    // End as the signal would have: it comes again, with its default action, once the handler returns.
    signal(sig, SIG_DFL);
    raise(sig);
}

// Gives `sig` the handler unless someone else has set one (an ignored SIGHUP
// under nohup, a test framework's handler); a second call changes nothing.
void replace_default_action(int sig, void (*handler)(int))
{
    struct sigaction current {}, action {};
    if (sigaction(sig, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL)
        return;
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int stop : STOP_SIGNALS) sigaddset(&action.sa_mask, stop);
    sigaction(sig, &action, nullptr);
}

bool refuse(std::string& error, const char* what, const std::string& path, const char* reason)
{
    error = std::string("cannot write ") + (*what ? std::string(what) + " " : "") + "'" + path + "': " + reason;
    return false;
}

// "dir/" for "dir/name", "" for a bare name.
std::string folder_part(const std::string& path)
{
    return path.substr(0, path.rfind('/') + 1);
}

// Follows symbolic links at the end of `path` as open() would, a link to a
// file that does not exist yet included. False with errno set when the
// chain cannot be followed.
bool follow_links(std::string& path)
{
    for (int hop = 0; hop <= 40; ++hop) {  // the kernel's own limit
        char link[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), link, sizeof link);
        if (n < 0) return errno == EINVAL || errno == ENOENT;  // not a link, or nothing there
        if (n == (ssize_t)sizeof link) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string to(link, (size_t)n);
        path = to[0] == '/' ? to : folder_part(path) + to;
    }
    errno = ELOOP;
    return false;
}

// Where the bytes for `path` go: streamed (standard output, a device, a
// FIFO), or through a temporary file that replaces `target`, the file the
// path names once its links are followed; `mode` is then the target's
// permission bits, or 0 when it does not exist yet.
bool resolve(const std::string& path, const char* what, bool& streamed, std::string& target, mode_t& mode,
             std::string& error)
{
    streamed = true;
    if (path == "-") return true;
    if (path.empty()) return refuse(error, what, path, "no file name");
    struct stat st;  // of the file at the end of any links
    const bool exists = stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return refuse(error, what, path, "it is a folder");
    if (exists && !S_ISREG(st.st_mode)) return true;  // a device or a FIFO: written to as it is
    // A file with no write bit is read-only even to root, who passes every access check.
    if (exists && ((st.st_mode & 0222) == 0 || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0))
        return refuse(error, what, path, "the file is read-only");
    streamed = false;
    mode = exists ? st.st_mode & 0777 : 0;
    target = path;
    return follow_links(target) || refuse(error, what, path, std::strerror(errno));
}

// Whether files can be made in the folder `name` ("dir/." or "."); errno
// says why not. The dot makes a file that is not a folder fail with ENOTDIR.
bool writable_folder(const std::string& name)
{
    return faccessat(AT_FDCWD, name.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Gives the temporary a name beside `target` that no other writer picks (the
// process id and a counter), its path in `slot` for the stop signals: `make`
// makes the file under that name, returning a value >= 0. -1 with errno set
// on failure (0 when every name tried was taken).
int name_temporary(const std::string& target, std::string& temporary, std::atomic<const char*>*& slot,
                   const std::function<int(const char* name)>& make)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder_part(target) + ".tarvelin-" + std::to_string(getpid()) + "-" +
                    std::to_string(counter.fetch_add(1)) + ".partial";
        slot = std::find_if(std::begin(temporaries), std::end(temporaries), [&](std::atomic<const char*>& s) {
            const char* none = nullptr;
            return s.compare_exchange_strong(none, temporary.c_str());
        });
        const int made = make(temporary.c_str());
        if (made >= 0) return made;
        if (slot != std::end(temporaries)) slot->store(nullptr);  // errno stays
        if (errno != EEXIST) return -1;
    }
    errno = 0;
    return -1;
}

// Removes the temporaries of earlier runs that were killed while writing
// (SIGKILL, a power cut) from `folder` ("dir/" or ""): those of processes
// that no longer exist.
void remove_leftovers(const std::string& folder)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    for (const dirent* entry; dir && (entry = readdir(dir));) {
        int pid = 0, end = 0;
        unsigned number = 0;
        if (std::sscanf(entry->d_name, ".tarvelin-%d-%u%n", &pid, &number, &end) == 2 && pid > 0 &&
            std::strcmp(entry->d_name + end, ".partial") == 0 && kill(pid, 0) != 0 && errno == ESRCH)
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    if (dir) closedir(dir);
}

}  // namespace

bool write_output_file(const std::string& path, const char* what,
                       const std::function<const char*(const output_sink& put)>& produce, std::string& error)
{
    return write_output_descriptor(path, what, [&](int, const output_sink& put) { return produce(put); }, error);
}

bool write_output_descriptor(const std::string& path, const char* what,
                             const std::function<const char*(int fd, const output_sink& put)>& produce,
                             std::string& error)
{
    bool streamed;
    std::string target, temporary;
    mode_t mode = 0;
    if (!resolve(path, what, streamed, target, mode, error)) return false;
    for (int sig : STOP_SIGNALS) replace_default_action(sig, remove_temporaries);
    // Past a file-size limit a write fails with EFBIG instead of the signal
    // killing the process with the temporary file left behind.
    replace_default_action(SIGXFSZ, SIG_IGN);

    // A FIFO or a device is opened as it is (a FIFO waits for its reader).
    // Where the system can, a new file has no name until it is complete
    // (O_TMPFILE), so that a process killed while writing leaves nothing.
    // A temporary is open for reading too, for contents that read back what
    // they wrote.
    std::atomic<const char*>* slot = std::end(temporaries);
    bool anonymous = false;
    int fd = path == "-" ? STDOUT_FILENO : streamed ? ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY) : -1;
#ifdef O_TMPFILE
    if (!streamed)
        anonymous = (fd = ::open((folder_part(target) + ".").c_str(), O_RDWR | O_TMPFILE | O_CLOEXEC, 0666)) >= 0;
#endif
    if (!streamed && !anonymous)
        fd = name_temporary(target, temporary, slot, [](const char* name) {
            return ::open(name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        });
    // 0666 less the umask, as a new file would get; an existing file's bits are copied.
    if (fd >= 0 && !streamed && mode != 0) fchmod(fd, mode);
    if (fd < 0)
        return refuse(error, what, path, errno ? std::strerror(errno) : "no free temporary file name in its folder");
    int failure = 0;  // errno of the first write, sync or close that failed
    const char* unmade = produce(fd, [&](const void* bytes, size_t size) {
        for (auto p = static_cast<const char*>(bytes); size > 0 && failure == 0;) {
            const ssize_t n = ::write(fd, p, size);
            if (n < 0 && errno != EINTR) failure = errno;
            if (n <= 0) continue;
            p += n;
            size -= (size_t)n;
        }
        return failure == 0;
    });
    // A whole file is synced and closed, and a temporary renamed over the
    // target; a temporary that is not is removed.
    if (!unmade && !failure && !streamed && fsync(fd) != 0) failure = errno;
    const std::string by_fd = "/proc/self/fd/" + std::to_string(fd);  // the link needs no privilege this way
    if (!unmade && !failure && anonymous && name_temporary(target, temporary, slot, [&](const char* name) {
            return linkat(AT_FDCWD, by_fd.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0 ||
                           linkat(fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0 ? 0 : -1;
        }) < 0)
        failure = errno ? errno : EEXIST;
    if (fd != STDOUT_FILENO && ::close(fd) != 0 && !unmade && !failure) failure = errno;
    if (!unmade && !failure && !streamed && std::rename(temporary.c_str(), target.c_str()) != 0)
        unmade = std::strerror(errno);
    if (!temporary.empty() && (unmade || failure)) unlink(temporary.c_str());
    if (slot != std::end(temporaries)) slot->store(nullptr);
    if (failure) {
        error = "writing " + (*what ? std::string(what) + " " : "") + "'" + path +
                "' failed: " + std::strerror(failure);
        return false;
    }
    if (unmade) return refuse(error, what, path, unmade);
    // Makes the rename durable; a file system that refuses to sync a folder is no failure.
    const std::string folder_name = folder_part(target) + ".";
    const int folder = streamed ? -1 : ::open(folder_name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        ::close(folder);
    }
    return true;
}

bool check_output_path(const std::string& path, const char* what, std::string& error)
{
    bool streamed;
    std::string target;
    mode_t mode = 0;
    if (!resolve(path, what, streamed, target, mode, error)) return false;
    if (!streamed) remove_leftovers(folder_part(target));
    return streamed || writable_folder(folder_part(target) + ".") || refuse(error, what, path, std::strerror(errno));
}

bool make_output_folder(const std::string& folder, std::string& error)
{
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        error = "cannot create folder '" + folder + "': " + failure.message();
        return false;
    }
    remove_leftovers(folder + "/");
    if (writable_folder(folder + "/.")) return true;
    error = "cannot write into folder '" + folder + "': " + std::strerror(errno);
    return false;
}

bool write_text_file(const std::string& path, const char* what, const std::string& text, std::string& error)
{
    return write_output_file(path, what, [&](const output_sink& put) -> const char* {
        put(text.data(), text.size());  // a failed write is reported by write_output_file
        return nullptr;
    }, error);
}
