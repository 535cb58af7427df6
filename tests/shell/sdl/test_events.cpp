// SDL keys and events as the loop's virtual-key codes and platform events.
#include <gtest/gtest.h>

#include "common/keys.h"
#include "shell/sdl/events.h"

namespace {

SDL_Event key_event(Uint32 type, SDL_Keycode sym, Uint8 repeat = 0)
{
    SDL_Event e = {};
    e.type = type;
    e.key.type = type;
    e.key.windowID = 7;
    e.key.repeat = repeat;
    e.key.keysym.sym = sym;
    return e;
}

SDL_Event window_event(Uint8 what, Uint32 window_id, int data1 = 0, int data2 = 0)
{
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.type = SDL_WINDOWEVENT;
    e.window.windowID = window_id;
    e.window.event = what;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
}

}  // namespace

TEST(KeyMapping, KeysTheProgramsReadHaveTheirVirtualKeyCodes)
{
    EXPECT_EQ(virtual_key_from_sdl(SDLK_UP), VK_CODE_UP);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_DOWN), VK_CODE_DOWN);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_LEFT), VK_CODE_LEFT);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_RIGHT), VK_CODE_RIGHT);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_ESCAPE), VK_CODE_ESCAPE);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_F1), VK_CODE_F1);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_q), VK_CODE_Q);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_a), VK_CODE_A);
}

TEST(KeyMapping, LettersDigitsAndFunctionKeysFollowTheVirtualKeyRuns)
{
    for (SDL_Keycode k = SDLK_a; k <= SDLK_z; ++k) EXPECT_EQ(virtual_key_from_sdl(k), 'A' + (k - SDLK_a));
    for (SDL_Keycode k = SDLK_0; k <= SDLK_9; ++k) EXPECT_EQ(virtual_key_from_sdl(k), '0' + (k - SDLK_0));
    EXPECT_EQ(virtual_key_from_sdl(SDLK_F2), 0x71);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_F12), 0x7B);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_KP_0), 0x60);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_KP_9), 0x69);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_SPACE), 0x20);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_RETURN), 0x0D);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_LSHIFT), virtual_key_from_sdl(SDLK_RSHIFT));
}

TEST(KeyMapping, UnknownKeysHaveNoCodeAndNoKnownKeyLeavesTheTable)
{
    EXPECT_EQ(virtual_key_from_sdl(SDLK_UNKNOWN), -1);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_F13), -1);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_AUDIOPLAY), -1);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_BACKQUOTE), -1);
    // Every key code SDL can report from a scan code, and every character
    // code, maps inside the table or to -1.
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const int vk = virtual_key_from_sdl(SDL_SCANCODE_TO_KEYCODE(scancode));
        EXPECT_TRUE(vk == -1 || (vk >= 0 && vk < KEY_TABLE_SIZE)) << scancode;
    }
    for (int c = 0; c < 0x110000; c += (c < 0x1000 ? 1 : 97)) {
        const int vk = virtual_key_from_sdl(c);
        EXPECT_TRUE(vk == -1 || (vk >= 0 && vk < KEY_TABLE_SIZE)) << c;
    }
}

TEST(KeyMapping, LetterKeysFollowTheLayoutsLatinLetterElseTheirUsPosition)
{
    // AZERTY: the key in US Q's place gives 'a' and counts as A; the key in
    // US A's place gives 'q' and counts as Q.
    EXPECT_EQ(virtual_key_from_sdl(SDLK_a, SDL_SCANCODE_Q), VK_CODE_A);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_q, SDL_SCANCODE_A), VK_CODE_Q);
    // QWERTZ: Y and Z swap places and follow their letters.
    EXPECT_EQ(virtual_key_from_sdl(SDLK_z, SDL_SCANCODE_Y), 'Z');
    // Russian: no Latin letter, so the position counts (U+0439 in Q's place,
    // U+0444 in A's place).
    EXPECT_EQ(virtual_key_from_sdl(0x439, SDL_SCANCODE_Q), VK_CODE_Q);
    EXPECT_EQ(virtual_key_from_sdl(0x444, SDL_SCANCODE_A), VK_CODE_A);
    // A letter position giving punctuation (AZERTY's comma in US M's place)
    // is still that letter key.
    EXPECT_EQ(virtual_key_from_sdl(SDLK_COMMA, SDL_SCANCODE_M), 'M');
    // Keys outside the letter block keep their own codes on any layout.
    EXPECT_EQ(virtual_key_from_sdl(SDLK_UP, SDL_SCANCODE_UP), VK_CODE_UP);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), VK_CODE_ESCAPE);
    EXPECT_EQ(virtual_key_from_sdl(SDLK_F1, SDL_SCANCODE_F1), VK_CODE_F1);
    EXPECT_EQ(virtual_key_from_sdl(0x439, SDL_SCANCODE_UNKNOWN), -1);
    EXPECT_EQ(virtual_key_from_sdl(0x439, (SDL_Scancode)(SDL_NUM_SCANCODES - 1)), -1);
}

TEST(SdlEvents, KeyEventsCarryTheVirtualKeyAndRepeatsStayKeyDowns)
{
    platform_event e = platform_event_from_sdl(key_event(SDL_KEYDOWN, SDLK_LEFT), 7, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_KEY_DOWN);
    EXPECT_EQ(e.key, VK_CODE_LEFT);
    e = platform_event_from_sdl(key_event(SDL_KEYDOWN, SDLK_LEFT, 1), 7, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_KEY_DOWN);
    EXPECT_EQ(e.key, VK_CODE_LEFT);
    e = platform_event_from_sdl(key_event(SDL_KEYUP, SDLK_ESCAPE), 7, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_KEY_UP);
    EXPECT_EQ(e.key, VK_CODE_ESCAPE);
    e = platform_event_from_sdl(key_event(SDL_KEYDOWN, SDLK_F13), 7, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_KEY_DOWN);
    EXPECT_EQ(e.key, -1);
}

TEST(SdlEvents, MinimiseAndRestoreSetActivationAndFocusLossDoesNot)
{
    platform_event e = platform_event_from_sdl(window_event(SDL_WINDOWEVENT_MINIMIZED, 3), 3, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_ACTIVATE);
    EXPECT_TRUE(e.minimised);

    for (Uint8 what : {SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_MAXIMIZED}) {
        e = platform_event_from_sdl(window_event(what, 3), 3, SDL_WINDOW_MINIMIZED);
        EXPECT_EQ(e.kind, PLATFORM_EVENT_ACTIVATE);
        EXPECT_FALSE(e.minimised);
    }

    e = platform_event_from_sdl(window_event(SDL_WINDOWEVENT_FOCUS_LOST, 3), 3, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_OTHER);

    // Gaining the focus reports the window's minimised state at that moment.
    e = platform_event_from_sdl(window_event(SDL_WINDOWEVENT_FOCUS_GAINED, 3), 3, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_ACTIVATE);
    EXPECT_FALSE(e.minimised);
    e = platform_event_from_sdl(window_event(SDL_WINDOWEVENT_FOCUS_GAINED, 3), 3,
                                SDL_WINDOW_MINIMIZED);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_ACTIVATE);
    EXPECT_TRUE(e.minimised);
}

TEST(SdlEvents, SizeChangesAndOtherWindowsEvents)
{
    platform_event e =
        platform_event_from_sdl(window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 3, 800, 0), 3, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_RESIZE);
    EXPECT_EQ(e.width, 800);
    EXPECT_EQ(e.height, 0);

    // A window the F1 switch has closed: its late events change nothing.
    e = platform_event_from_sdl(window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 2, 1, 1), 3, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_OTHER);
    e = platform_event_from_sdl(window_event(SDL_WINDOWEVENT_MINIMIZED, 2), 3, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_OTHER);
    e = platform_event_from_sdl(window_event(SDL_WINDOWEVENT_MINIMIZED, 0), 0, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_OTHER);
}

TEST(SdlEvents, QuitEndsWithCodeZeroAndOtherEventsAreOnlyRemoved)
{
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    platform_event e = platform_event_from_sdl(quit, 3, 0);
    EXPECT_EQ(e.kind, PLATFORM_EVENT_QUIT);
    EXPECT_EQ(e.code, 0);

    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    EXPECT_EQ(platform_event_from_sdl(motion, 3, 0).kind, PLATFORM_EVENT_OTHER);
    SDL_Event text = {};
    text.type = SDL_TEXTINPUT;
    EXPECT_EQ(platform_event_from_sdl(text, 3, 0).kind, PLATFORM_EVENT_OTHER);
}
