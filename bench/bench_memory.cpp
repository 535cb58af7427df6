// Peak memory of tarvelin_render in each of its modes: rendering either
// program, the soft mode, and writing the world dump to a file and to a pipe.
// Prints the peak resident set size of each run against the 200 MB budget.
//
// Usage: bench_memory [RENDERER]   (default: tarvelin_render beside this program)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double BUDGET_MB = 200;

std::string renderer_beside_this_program()
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "tarvelin_render";
    std::string path(self, (size_t)n);
    return path.substr(0, path.rfind('/') + 1) + "tarvelin_render";
}

// Runs the renderer with `args`, its output thrown away; the child's peak
// resident set in MB, or a negative number when it failed.
double peak_rss_mb(const std::string& renderer, const std::vector<std::string>& args)
{
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(renderer.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(renderer.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return (double)usage.ru_maxrss / 1024.0;  // ru_maxrss is in KiB on Linux
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string renderer = argc > 1 ? argv[1] : renderer_beside_this_program();
    char folder_template[] = "/tmp/bench_memory.XXXXXX";
    const char* folder = mkdtemp(folder_template);
    if (!folder) {
        std::perror("bench_memory: mkdtemp");
        return 1;
    }
    const std::string dump = std::string(folder) + "/world.tvwd";
    const std::string shots = std::string(folder) + "/shots";
    // The title ends at frame 650; the rest swims, turns and switches windows.
    const std::string flight = "escape@650,up@655-800,left@670-700,q@700-720,f1@720-721";

    struct run {
        const char* name;
        std::vector<std::string> args;
    };
    const std::vector<run> runs = {
        {"interactive, 800 frames", {"--frames", "800", "--keys", flight, "--shot", "700,800", "--out", shots}},
        {"screensaver, 800 frames", {"--saver", "--frames", "800", "--keys", "escape@650,f1@700-701"}},
        {"soft mode, 800 frames", {"--soft", "--frames", "800", "--keys", flight}},
        {"world dump to a file", {"--frames", "0", "--dump-world", dump}},
        {"world dump to stdout", {"--saver", "--frames", "0", "--dump-world", "-"}},
        {"800 frames, then the dump", {"--frames", "800", "--keys", flight, "--dump-world", dump}},
    };
    double largest = 0;
    bool failed = false;
    std::printf("peak resident memory of %s\n", renderer.c_str());
    for (const run& r : runs) {
        const double mb = peak_rss_mb(renderer, r.args);
        if (mb < 0) {
            std::printf("  %-28s failed\n", r.name);
            failed = true;
            continue;
        }
        std::printf("  %-28s %7.1f MB\n", r.name, mb);
        std::fflush(stdout);
        if (mb > largest) largest = mb;
    }
    std::printf("largest: %.1f MB (budget %.0f MB: %s)\n", largest, BUDGET_MB,
                largest <= BUDGET_MB ? "within" : "OVER");
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return failed ? 1 : 0;
}
