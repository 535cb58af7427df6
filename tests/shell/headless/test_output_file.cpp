// Output files: whole-or-nothing replacement, links, read-only targets,
// devices and FIFOs, file-size limits, concurrent writers, the checks made
// before any work starts, and PNG files read back.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/headless/output_file.h"
#include "tests/support/png_file.h"

namespace fs = std::filesystem;

namespace {

// A fresh, empty folder for one test.
fs::path fresh_folder(const char* name)
{
    const fs::path folder = fs::path(::testing::TempDir()) / ("output-file-" + std::to_string(getpid())) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void put(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Every name in the folder, hidden ones included, sorted.
std::vector<std::string> names_in(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t mode_of(const fs::path& path)
{
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode;
}

bool write_text(const fs::path& path, const std::string& text, std::string& error)
{
    return write_output_file(path.string(), "test file", [&](const output_sink& put) {
        put(text.data(), text.size());
        return nullptr;
    }, error);
}

}  // namespace

TEST(OutputFile, ReplacesOnlyWhenCompleteThroughANamelessTemporary)
{
    const fs::path folder = fresh_folder("replace");
    const fs::path target = folder / "world.tvwd";
    put(target, "earlier");
    chmod(target.c_str(), 0640);
    // A user's own file of the name a naive writer would use is not touched.
    put(folder / "world.tvwd.partial", "mine");

    std::string error;
    bool produced = false;
    EXPECT_FALSE(write_output_file(target.string(), "test file", [&](const output_sink& put) {
        produced = true;
        // The file being written has no name: a kill now would leave nothing.
        EXPECT_EQ(names_in(folder), (std::vector<std::string>{"world.tvwd", "world.tvwd.partial"}));
        EXPECT_TRUE(put("half", 4));
        EXPECT_EQ(contents(target), "earlier") << "the target changed before the commit";
        return "stopped half way";  // dropped unfinished
    }, error));
    EXPECT_TRUE(produced);
    EXPECT_NE(error.find("stopped half way"), std::string::npos) << error;
    EXPECT_NE(error.find("world.tvwd"), std::string::npos) << error;
    EXPECT_EQ(contents(target), "earlier");
    EXPECT_EQ(names_in(folder), (std::vector<std::string>{"world.tvwd", "world.tvwd.partial"}));

    // A large write, past the buffer, replaces the file and keeps its permission bits.
    std::string big(3 * 1024 * 1024 + 7, 'x');
    for (size_t k = 0; k < big.size(); k += 4096) big[k] = (char)('a' + k / 4096 % 26);
    ASSERT_TRUE(write_text(target, big, error)) << error;
    EXPECT_EQ(contents(target), big);
    EXPECT_EQ(mode_of(target) & 0777, 0640u);
    EXPECT_EQ(contents(folder / "world.tvwd.partial"), "mine");
    EXPECT_EQ(names_in(folder), (std::vector<std::string>{"world.tvwd", "world.tvwd.partial"}));

    // A name that uses the whole 255 bytes a name may have still works.
    const fs::path longest = folder / std::string(255, 'n');
    ASSERT_TRUE(write_text(longest, "long", error)) << error;
    EXPECT_EQ(contents(longest), "long");
}

TEST(OutputFile, ReadOnlyTargetsAndFoldersAreRefusedAndLeftAlone)
{
    const fs::path folder = fresh_folder("read-only");
    const fs::path target = folder / "kept.tvwd";
    put(target, "earlier");
    chmod(target.c_str(), 0444);
    std::string error;
    // Refused even where the process could replace it (as root it could).
    EXPECT_FALSE(check_output_path(target.string(), "world dump", error));
    EXPECT_NE(error.find(target.string()), std::string::npos) << error;
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(write_text(target, "new", error));
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_EQ(contents(target), "earlier");
    EXPECT_EQ(mode_of(target) & 0777, 0444u);
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"kept.tvwd"});

    // A folder is not a file to write over.
    EXPECT_FALSE(check_output_path(folder.string(), "world dump", error));
    EXPECT_FALSE(write_text(folder, "new", error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST(OutputFile, PathsAreCheckedBeforeAnyWork)
{
    const fs::path folder = fresh_folder("check");
    std::string error;
    EXPECT_TRUE(check_output_path("-", "world dump", error));
    EXPECT_TRUE(check_output_path((folder / "new.tvwd").string(), "world dump", error)) << error;
    EXPECT_FALSE(fs::exists(folder / "new.tvwd")) << "a check must not create the file";

    EXPECT_FALSE(check_output_path((folder / "missing" / "new.tvwd").string(), "world dump", error));
    EXPECT_NE(error.find("missing/new.tvwd"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(folder / "missing"));

    put(folder / "file", "x");
    EXPECT_FALSE(check_output_path((folder / "file" / "new.tvwd").string(), "world dump", error));
    // A folder for frames is made where missing; a file in its way fails with one line naming it.
    EXPECT_FALSE(make_output_folder((folder / "file").string(), error));
    EXPECT_FALSE(make_output_folder((folder / "file" / "sub").string(), error));
    EXPECT_NE(error.find("cannot create folder"), std::string::npos) << error;
    EXPECT_NE(error.find("file/sub"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_TRUE(make_output_folder((folder / "made" / "nested").string(), error)) << error;
    EXPECT_TRUE(fs::is_directory(folder / "made" / "nested"));
    EXPECT_TRUE(make_output_folder(folder.string(), error)) << error;

    // Temporaries left by a killed run go at the check; those of a live
    // process and a user's own look-alike names stay.
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    const std::string dead = ".tarvelin-" + std::to_string(child) + "-7.partial",
                      live = ".tarvelin-" + std::to_string(getpid()) + "-999999.partial",
                      other = ".tarvelin-" + std::to_string(child) + "-7.partial.mine";
    for (const fs::path& at : {folder, folder / "made"}) {
        for (const std::string& name : {dead, live, other}) put(at / name, "x");
        EXPECT_TRUE(at == folder ? check_output_path((at / "new.tvwd").string(), "world dump", error)
                                 : make_output_folder(at.string(), error))
            << error;
        EXPECT_FALSE(fs::exists(at / dead)) << at;
        EXPECT_TRUE(fs::exists(at / live) && fs::exists(at / other)) << at;
    }

    // Bare names live in the current folder.
    const fs::path was = fs::current_path();
    fs::current_path(folder);
    EXPECT_TRUE(check_output_path("here.tvwd", "world dump", error)) << error;
    EXPECT_TRUE(write_text("here.tvwd", "here", error)) << error;
    fs::current_path(was);
    EXPECT_EQ(contents(folder / "here.tvwd"), "here");
}

TEST(OutputFile, SymbolicLinksAreFollowedToTheFileTheyNameWhichIsReplaced)
{
    const fs::path folder = fresh_folder("links");
    fs::create_directories(folder / "real");
    fs::create_directories(folder / "links");
    put(folder / "real" / "world.tvwd", "earlier");
    // links/a -> b -> ../real/world.tvwd: relative links resolve from their own folder.
    fs::create_symlink("b", folder / "links" / "a");
    fs::create_symlink("../real/world.tvwd", folder / "links" / "b");
    std::string error;
    ASSERT_TRUE(check_output_path((folder / "links" / "a").string(), "world dump", error)) << error;
    ASSERT_TRUE(write_text(folder / "links" / "a", "through the links", error)) << error;
    EXPECT_TRUE(S_ISLNK(mode_of(folder / "links" / "a")));
    EXPECT_TRUE(S_ISLNK(mode_of(folder / "links" / "b")));
    EXPECT_EQ(contents(folder / "real" / "world.tvwd"), "through the links");
    EXPECT_EQ(names_in(folder / "real"), std::vector<std::string>{"world.tvwd"});
    EXPECT_EQ(names_in(folder / "links"), (std::vector<std::string>{"a", "b"}));

    // A link to a file not yet there creates that file.
    fs::create_symlink(folder / "real" / "new.tvwd", folder / "links" / "dangling");
    ASSERT_TRUE(write_text(folder / "links" / "dangling", "made", error)) << error;
    EXPECT_EQ(contents(folder / "real" / "new.tvwd"), "made");
    EXPECT_TRUE(S_ISLNK(mode_of(folder / "links" / "dangling")));

    // A link to a read-only file is refused like the file itself.
    put(folder / "real" / "locked", "locked");
    chmod((folder / "real" / "locked").c_str(), 0444);
    fs::create_symlink("../real/locked", folder / "links" / "to-locked");
    EXPECT_FALSE(write_text(folder / "links" / "to-locked", "new", error));
    EXPECT_EQ(contents(folder / "real" / "locked"), "locked");

    // A loop fails with a message instead of spinning.
    fs::create_symlink("loop2", folder / "links" / "loop1");
    fs::create_symlink("loop1", folder / "links" / "loop2");
    EXPECT_FALSE(write_text(folder / "links" / "loop1", "new", error));
    EXPECT_NE(error.find("loop1"), std::string::npos) << error;
    EXPECT_TRUE(S_ISLNK(mode_of(folder / "links" / "loop1")));
}

TEST(OutputFile, FifosAndDevicesAreWrittenToDirectly)
{
    const fs::path folder = fresh_folder("special");
    const fs::path fifo = folder / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = contents(fifo); });
    std::string error;
    std::string text(600000, 'f');
    text[12345] = 'g';
    bool opened = false;
    EXPECT_TRUE(write_output_file(fifo.string(), "test file", [&](const output_sink& put) {
        opened = true;
        EXPECT_EQ(names_in(folder), std::vector<std::string>{"pipe"}) << "a temporary beside a FIFO";
        put(text.data(), text.size());
        return nullptr;
    }, error)) << error;
    if (!opened) std::ofstream release(fifo);  // lets the reader finish
    reader.join();
    EXPECT_EQ(received, text);
    EXPECT_TRUE(S_ISFIFO(mode_of(fifo)));
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"pipe"});

    // A null device of our own (never the system's): it must stay a device.
    const fs::path null = folder / "null";
    if (mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here (needs root)";
    ASSERT_TRUE(check_output_path(null.string(), "world dump", error)) << error;
    ASSERT_TRUE(write_text(null, text, error)) << error;
    EXPECT_TRUE(S_ISCHR(mode_of(null)));
    EXPECT_EQ(names_in(folder), (std::vector<std::string>{"null", "pipe"}));
}

TEST(OutputFile, AFailedWriteKeepsTheEarlierFileAndLeavesNoTemporary)
{
    const fs::path folder = fresh_folder("limit");
    const fs::path target = folder / "frame-000001.png";
    put(target, "earlier frame");
    // A file-size limit of 64 KiB stands in for a full disk.
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string error;
    const bool written = write_text(target, std::string(1 << 20, 'z'), error);
    // A noisy image does not compress below the limit either.
    const int w = 300, h = 300;
    std::vector<unsigned char> rgb((size_t)w * h * 3);
    unsigned x = 12345;
    for (unsigned char& c : rgb) c = (unsigned char)((x = x * 1103515245u + 12345u) >> 16);
    std::string png_error;
    const bool png_written = write_png(target.c_str(), w, h, 3, rgb.data(), png_error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("frame-000001.png"), std::string::npos) << error;
    EXPECT_FALSE(png_written);
    EXPECT_NE(png_error.find("frame-000001.png"), std::string::npos) << png_error;
    EXPECT_EQ(png_error.find('\n'), std::string::npos) << png_error;
    EXPECT_EQ(contents(target), "earlier frame");
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"frame-000001.png"});

    // Without the limit the same image replaces the earlier frame whole.
    ASSERT_TRUE(write_png(target.c_str(), w, h, 3, rgb.data(), png_error)) << png_error;
    int rw, rh;
    std::string back;
    ASSERT_TRUE(read_png(target, 3, rw, rh, back, png_error)) << png_error;
    EXPECT_EQ(back, std::string(rgb.begin(), rgb.end()));
}

TEST(OutputFile, ConcurrentWritersOnOnePathEachLeaveACompleteFile)
{
    const fs::path folder = fresh_folder("race");
    const fs::path target = folder / "shared.tvwd";
    const std::string a(2 * 1024 * 1024, 'a'), b(3 * 1024 * 1024, 'b');
    for (int round = 0; round < 4; ++round) {
        bool ok_a = false, ok_b = false;
        std::string error_a, error_b;
        std::thread first([&] { ok_a = write_text(target, a, error_a); });
        std::thread second([&] { ok_b = write_text(target, b, error_b); });
        first.join();
        second.join();
        EXPECT_TRUE(ok_a) << error_a;
        EXPECT_TRUE(ok_b) << error_b;
        const std::string last = contents(target);
        EXPECT_TRUE(last == a || last == b) << "mixed file of " << last.size() << " bytes";
        EXPECT_EQ(names_in(folder), std::vector<std::string>{"shared.tvwd"});
    }
}

TEST(OutputFile, PngFilesRoundTripInEitherChannelCount)
{
    const fs::path folder = fresh_folder("png");
    std::string error, back;
    int width = 0, height = 0;
    const unsigned char rgb[3 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    ASSERT_TRUE(write_png((folder / "small.png").string(), 3, 2, 3, rgb, error)) << error;
    ASSERT_TRUE(read_png((folder / "small.png").string(), 3, width, height, back, error)) << error;
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(back, std::string((const char*)rgb, sizeof rgb));
    // An RGB file read as RGBA is opaque.
    ASSERT_TRUE(read_png((folder / "small.png").string(), 4, width, height, back, error)) << error;
    EXPECT_EQ(std::vector<unsigned char>(back.begin(), back.begin() + 8),
              (std::vector<unsigned char>{255, 0, 0, 255, 0, 255, 0, 255}));

    // 3 x 2 pixels with every kind of alpha, kept straight.
    const std::vector<unsigned char> rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0,
                                             10, 20, 30, 1,  40, 50, 60, 254, 70, 80, 90, 255};
    ASSERT_TRUE(write_png((folder / "icon.png").string(), 3, 2, 4, rgba.data(), error)) << error;
    ASSERT_TRUE(read_png((folder / "icon.png").string(), 4, width, height, back, error)) << error;
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(std::vector<unsigned char>(back.begin(), back.end()), rgba);
    // Read as RGB, the alpha is dropped.
    ASSERT_TRUE(read_png((folder / "icon.png").string(), 3, width, height, back, error)) << error;
    ASSERT_EQ(back.size(), 18u);
    EXPECT_EQ((unsigned char)back[3], 0);
    EXPECT_EQ((unsigned char)back[4], 255);
    EXPECT_EQ((unsigned char)back[15], 70);

    // An unwritable path fails with a message naming the file and leaves nothing.
    EXPECT_FALSE(write_png((folder / "none" / "x.png").string(), 3, 2, 3, rgb, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_FALSE(write_png((folder / "none" / "icon.png").string(), 3, 2, 4, rgba.data(), error));
    EXPECT_NE(error.find("none/icon.png"), std::string::npos) << error;
    EXPECT_EQ(names_in(folder), (std::vector<std::string>{"icon.png", "small.png"}));
}
