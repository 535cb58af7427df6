// The screensaver's hosting arguments: the X conventions and Windows' switches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/saver_args.h"

namespace {

windows_saver_mode mode_of(const char* line)
{
    return parse_windows_saver_command(line).mode;
}

struct x_result {
    bool ok;
    saver_host_result result;
    saver_host host;
    std::string error;
};

x_result parse_x(std::vector<const char*> args, const char* environment = nullptr)
{
    x_result r;
    r.result = parse_saver_host_arguments((int)args.size(), args.data(), environment, r.host, r.error);
    r.ok = r.result == SAVER_HOST_FOUND;
    return r;
}

}  // namespace

TEST(SaverArgs, WindowsRunsAsAProgramWithNoSwitch)
{
    EXPECT_EQ(mode_of(nullptr), SAVER_AS_PROGRAM);
    EXPECT_EQ(mode_of(""), SAVER_AS_PROGRAM);
    EXPECT_EQ(mode_of("   "), SAVER_AS_PROGRAM);
}

TEST(SaverArgs, WindowsScreenSwitchInAnySpelling)
{
    for (const char* line : {"/s", "/S", "-s", " /s", "\"/s\"", "/s /p 123"}) {
        const windows_saver_command c = parse_windows_saver_command(line);
        EXPECT_EQ(c.mode, SAVER_SCREEN) << line;
        EXPECT_EQ(c.window, 0u) << line;
    }
}

TEST(SaverArgs, WindowsPreviewTakesItsWindowAfterBlanksOrAColon)
{
    const struct {
        const char* line;
        uintptr_t window;
    } cases[] = {{"/p 123", 123},    {"/P 123", 123},     {"-p 123", 123},  {"-P\t99", 99},
                 {"  /p 123", 123},  {"/p:4711", 4711},   {"/p 0x1A2B", 0x1A2B},
                 {"\"/p\" 77", 77},  {"/p 4294967295", 4294967295u}, {"/p 5 /s", 5}};
    for (const auto& c : cases) {
        const windows_saver_command command = parse_windows_saver_command(c.line);
        EXPECT_EQ(command.mode, SAVER_PREVIEW) << c.line;
        EXPECT_EQ(command.window, c.window) << c.line;
    }
}

TEST(SaverArgs, WindowsPreviewWithoutAUsableWindowIsAnError)
{
    for (const char* line : {"/p", "/p ", "/p:", "/p abc", "/p 0", "/p -5", "/p 12x",
                             "/p 4294967296", "/p 0x"}) {
        const windows_saver_command c = parse_windows_saver_command(line);
        EXPECT_EQ(c.mode, SAVER_BAD_COMMAND) << line;
        EXPECT_FALSE(c.error.empty()) << line;
        EXPECT_EQ(c.error.find('\n'), std::string::npos) << line;
    }
}

TEST(SaverArgs, WindowsSettingsWithOrWithoutAnOwner)
{
    for (const char* line : {"/c", "/C", "-c", "-C", "\"/c\"", "/c /s", "/c junk"}) {
        const windows_saver_command c = parse_windows_saver_command(line);
        EXPECT_EQ(c.mode, SAVER_SETTINGS) << line;
        EXPECT_EQ(c.window, 0u) << line;
    }
    for (const char* line : {"/c:1234", "/C:1234", "-c 1234", "\"/c:1234\""}) {
        const windows_saver_command c = parse_windows_saver_command(line);
        EXPECT_EQ(c.mode, SAVER_SETTINGS) << line;
        EXPECT_EQ(c.window, 1234u) << line;
    }
}

TEST(SaverArgs, WindowsPasswordSwitch)
{
    for (const char* line : {"/a", "/A", "-a", "/a 1234", "/a:99"})
        EXPECT_EQ(mode_of(line), SAVER_PASSWORD) << line;
}

TEST(SaverArgs, WindowsOnlyWholeSwitchesCount)
{
    // Longer words that merely start with a switch letter, words without a
    // leading / or -, and a bare / or - are no switches.
    for (const char* line : {"/config", "-preview", "/screen", "c", "p 123", "s", "/", "-", "/x",
                             "//s", "hello"}) {
        const windows_saver_command c = parse_windows_saver_command(line);
        EXPECT_EQ(c.mode, SAVER_BAD_COMMAND) << line;
        EXPECT_NE(c.error.find("unknown switch"), std::string::npos) << line;
    }
}

TEST(SaverArgs, WindowIdsAreDecimalOrHexadecimal)
{
    unsigned long w = 0;
    EXPECT_TRUE(parse_window_id("12345", w));
    EXPECT_EQ(w, 12345u);
    EXPECT_TRUE(parse_window_id("0x1e00007", w));
    EXPECT_EQ(w, 0x1e00007u);
    EXPECT_TRUE(parse_window_id("0X1E00007", w));
    EXPECT_EQ(w, 0x1e00007u);
    // Leading zeros are decimal, not octal.
    EXPECT_TRUE(parse_window_id("010", w));
    EXPECT_EQ(w, 10u);
    EXPECT_TRUE(parse_window_id("0xFFFFFFFF", w));
    EXPECT_EQ(w, 0xFFFFFFFFu);
    for (const char* bad : {"", "0", "0x0", "0x", "x12", "-12", "+12", " 12", "12 ", "1e3", "abc",
                            "4294967296", "0x100000000", "99999999999999999999999"}) {
        w = 7;
        EXPECT_FALSE(parse_window_id(bad, w)) << bad;
        EXPECT_EQ(w, 7u) << bad;
    }
    EXPECT_FALSE(parse_window_id(nullptr, w));
}

TEST(SaverArgs, XStartedByHandIsNotHosted)
{
    const x_result r = parse_x({});
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.host.hosted);
    // An empty variable is as good as none.
    const x_result empty = parse_x({}, "");
    ASSERT_TRUE(empty.ok);
    EXPECT_FALSE(empty.host.hosted);
}

TEST(SaverArgs, XRootAloneDrawsOnTheRootWindow)
{
    for (const char* spelling : {"--root", "-root"}) {
        const x_result r = parse_x({spelling});
        ASSERT_TRUE(r.ok) << spelling;
        EXPECT_TRUE(r.host.hosted);
        EXPECT_EQ(r.host.window, 0u);
    }
}

TEST(SaverArgs, XWindowIdInEverySpelling)
{
    const std::vector<std::vector<const char*>> spellings = {
        {"--window-id", "0x2a00005"}, {"-window-id", "0x2a00005"}, {"--window-id=0x2a00005"},
        {"--window-id", "44040197"}};
    for (const auto& args : spellings) {
        const x_result r = parse_x(args);
        ASSERT_TRUE(r.ok) << args[0];
        EXPECT_TRUE(r.host.hosted);
        EXPECT_EQ(r.host.window, 0x2a00005u) << args[0];
    }
}

TEST(SaverArgs, XWindowIdWinsOverTheVariableAndTheVariableOverRoot)
{
    x_result r = parse_x({"--root", "--window-id", "17"}, "0x99");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.host.window, 17u);
    // XScreenSaver: --root with the variable set means the variable's window.
    r = parse_x({"--root"}, "0x99");
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.host.hosted);
    EXPECT_EQ(r.host.window, 0x99u);
    // xsecurelock: the variable alone.
    r = parse_x({}, " 153 \n");
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.host.hosted);
    EXPECT_EQ(r.host.window, 153u);
}

TEST(SaverArgs, XBadArgumentsAreOneLineErrors)
{
    const std::vector<std::vector<const char*>> bad = {{"--window-id"},         {"--window-id", "foo"},
                                                       {"-window-id", "0"},     {"--window-id="},
                                                       {"--window-id", "-1"},   {"--roots"},
                                                       {"--root", "extra"},     {"/s"},
                                                       {"--window-id", "0x1g"}};
    for (const auto& args : bad) {
        const x_result r = parse_x(args);
        EXPECT_FALSE(r.ok) << args[0];
        EXPECT_FALSE(r.error.empty()) << args[0];
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << args[0];
    }
    const x_result r = parse_x({}, "not-a-window");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("XSCREENSAVER_WINDOW"), std::string::npos);
}

TEST(SaverArgs, XAnArgumentThatIsNoHostingArgumentIsToldFromABadValue)
{
    // The first argument that is not a hosting one is named, wherever it
    // stands; the program then shows its usage, which a bad value does not need.
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"--version"}, {"--window-id", "0x10", "--root", "--fps"}, {"--root", "--fps", "--bogus"}}) {
        const x_result r = parse_x(args, "0x99");
        EXPECT_EQ(r.result, SAVER_HOST_NOT_OPTION) << args[0];
        const std::string named = args.size() == 1 ? args[0] : "--fps";
        EXPECT_EQ(r.error, "unknown option '" + named + "'");
    }
    for (const auto& args : std::vector<std::vector<const char*>>{
             {"--window-id"}, {"--root", "--window-id", "0"}, {"--window-id=x", "--fps"}})
        EXPECT_EQ(parse_x(args).result, SAVER_HOST_BAD_VALUE) << args.back();
    EXPECT_EQ(parse_x({"--root"}, "none").result, SAVER_HOST_BAD_VALUE);
}

TEST(SaverArgs, StoredSettingsReadBackAndAnythingElseIsTheDefault)
{
    for (picture_resolution r : {RESOLUTION_AUTO, RESOLUTION_DESIGN, RESOLUTION_WINDOW}) {
        const uint32_t stored = picture_resolution_to_store(r);
        EXPECT_EQ(stored_picture_resolution(&stored), r) << stored;
    }
    EXPECT_EQ(stored_picture_resolution(nullptr), RESOLUTION_AUTO);
    const uint32_t one = 1, zero = 0;
    EXPECT_TRUE(stored_frame_rate(&one));
    EXPECT_FALSE(stored_frame_rate(&zero));
    EXPECT_FALSE(stored_frame_rate(nullptr));
    // Values no dialog writes, such as another program's or an edited one.
    for (uint32_t odd : {3u, 7u, 0x80000001u, 0xFFFFFFFFu}) {
        EXPECT_EQ(stored_picture_resolution(&odd), RESOLUTION_AUTO) << odd;
        EXPECT_FALSE(stored_frame_rate(&odd)) << odd;
    }
}
