// The SDL scancode to DIK_ code table of the SDL back end.
#include <SDL2/SDL_keyboard.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "platform/core/dinput.h"
#include "platform/sdl/sdl_keymap.h"

namespace {

using platform::sdl::DikFromScancode;
using platform::sdl::KeyTable;
using platform::sdl::ScancodeFromDik;

TEST(KeyTable, KeysTheGameReadsAndASampleOfOthersMapToTheirCodes) {
    const std::pair<SDL_Scancode, int> expected[] = {
        // Every key a level or game object asks about.
        {SDL_SCANCODE_1, 0x02},
        {SDL_SCANCODE_2, 0x03},
        {SDL_SCANCODE_3, 0x04},
        {SDL_SCANCODE_4, 0x05},
        {SDL_SCANCODE_5, 0x06},
        {SDL_SCANCODE_6, 0x07},
        {SDL_SCANCODE_Z, 0x2C},
        {SDL_SCANCODE_SPACE, 0x39},
        {SDL_SCANCODE_UP, 0xC8},
        {SDL_SCANCODE_LEFT, 0xCB},
        {SDL_SCANCODE_RIGHT, 0xCD},
        {SDL_SCANCODE_DOWN, 0xD0},
        // Others, across the board.
        {SDL_SCANCODE_ESCAPE, 0x01},
        {SDL_SCANCODE_0, 0x0B},
        {SDL_SCANCODE_BACKSPACE, 0x0E},
        {SDL_SCANCODE_Q, 0x10},
        {SDL_SCANCODE_P, 0x19},
        {SDL_SCANCODE_RETURN, 0x1C},
        {SDL_SCANCODE_LCTRL, 0x1D},
        {SDL_SCANCODE_A, 0x1E},
        {SDL_SCANCODE_L, 0x26},
        {SDL_SCANCODE_GRAVE, 0x29},
        {SDL_SCANCODE_LSHIFT, 0x2A},
        {SDL_SCANCODE_BACKSLASH, 0x2B},
        {SDL_SCANCODE_M, 0x32},
        {SDL_SCANCODE_SLASH, 0x35},
        {SDL_SCANCODE_RSHIFT, 0x36},
        {SDL_SCANCODE_KP_MULTIPLY, 0x37},
        {SDL_SCANCODE_LALT, 0x38},
        {SDL_SCANCODE_CAPSLOCK, 0x3A},
        {SDL_SCANCODE_F1, 0x3B},
        {SDL_SCANCODE_F10, 0x44},
        {SDL_SCANCODE_NUMLOCKCLEAR, 0x45},
        {SDL_SCANCODE_SCROLLLOCK, 0x46},
        {SDL_SCANCODE_KP_7, 0x47},
        {SDL_SCANCODE_KP_MINUS, 0x4A},
        {SDL_SCANCODE_KP_5, 0x4C},
        {SDL_SCANCODE_KP_PLUS, 0x4E},
        {SDL_SCANCODE_KP_0, 0x52},
        {SDL_SCANCODE_KP_PERIOD, 0x53},
        {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
        {SDL_SCANCODE_F11, 0x57},
        {SDL_SCANCODE_F12, 0x58},
        {SDL_SCANCODE_KP_ENTER, 0x9C},
        {SDL_SCANCODE_RCTRL, 0x9D},
        {SDL_SCANCODE_KP_DIVIDE, 0xB5},
        {SDL_SCANCODE_PRINTSCREEN, 0xB7},
        {SDL_SCANCODE_RALT, 0xB8},
        {SDL_SCANCODE_PAUSE, 0xC5},
        {SDL_SCANCODE_HOME, 0xC7},
        {SDL_SCANCODE_PAGEUP, 0xC9},
        {SDL_SCANCODE_END, 0xCF},
        {SDL_SCANCODE_PAGEDOWN, 0xD1},
        {SDL_SCANCODE_INSERT, 0xD2},
        {SDL_SCANCODE_DELETE, 0xD3},
        {SDL_SCANCODE_LGUI, 0xDB},
        {SDL_SCANCODE_RGUI, 0xDC},
        {SDL_SCANCODE_APPLICATION, 0xDD},
        {SDL_SCANCODE_INTERNATIONAL3, 0x7D},
        {SDL_SCANCODE_VOLUMEUP, 0xB0},
    };
    for (const auto& [scancode, dik] : expected) {
        EXPECT_EQ(DikFromScancode(scancode), dik) << SDL_GetScancodeName(scancode);
        EXPECT_EQ(DikFromScancode(ScancodeFromDik(dik)), dik) << dik;
    }
    // The names agree with the codes.
    EXPECT_EQ(platform::DikFromName("DIK_LEFT"), 0xCB);
    EXPECT_EQ(platform::DikFromName("dik_space"), 0x39);
    EXPECT_EQ(platform::DikFromName("DIK_LEFTARROW"), 0xCB);
    EXPECT_EQ(platform::DikFromName("DIK_1"), 0x02);
    EXPECT_EQ(platform::DikFromName("LEFT"), -1);
}

TEST(KeyTable, EveryKeyOfA105KeyBoardIsThere) {
    std::set<SDL_Scancode> board;
    for (int s = SDL_SCANCODE_A; s <= SDL_SCANCODE_Z; ++s) board.insert(SDL_Scancode(s));
    for (int s = SDL_SCANCODE_1; s <= SDL_SCANCODE_0; ++s) board.insert(SDL_Scancode(s));
    for (int s = SDL_SCANCODE_RETURN; s <= SDL_SCANCODE_KP_PERIOD; ++s)
        board.insert(SDL_Scancode(s));  // main block, F1-F12, navigation, numpad
    for (int s = SDL_SCANCODE_LCTRL; s <= SDL_SCANCODE_RGUI; ++s) board.insert(SDL_Scancode(s));
    board.insert(SDL_SCANCODE_NONUSBACKSLASH);
    board.insert(SDL_SCANCODE_APPLICATION);
    ASSERT_GE(board.size(), 105u);
    for (SDL_Scancode s : board) EXPECT_NE(DikFromScancode(s), 0) << SDL_GetScancodeName(s);
}

TEST(KeyTable, NoTwoScancodesShareACodeUnlessTheyAreOneKey) {
    // Keys that USB names twice: ISO '#' is the backslash position; mute
    // exists on the keyboard page and the consumer page.
    const std::set<std::pair<SDL_Scancode, SDL_Scancode>> sameKey = {
        {SDL_SCANCODE_BACKSLASH, SDL_SCANCODE_NONUSHASH},
        {SDL_SCANCODE_MUTE, SDL_SCANCODE_AUDIOMUTE},
    };
    std::map<int, SDL_Scancode> first;
    std::set<SDL_Scancode> seen;
    for (const auto& m : KeyTable()) {
        EXPECT_TRUE(seen.insert(m.scancode).second) << "listed twice: " << m.scancode;
        EXPECT_NE(m.dik, 0);
        const auto [it, fresh] = first.emplace(m.dik, m.scancode);
        if (!fresh) {
            EXPECT_TRUE(sameKey.count({it->second, m.scancode}))
                << SDL_GetScancodeName(it->second) << " and " << SDL_GetScancodeName(m.scancode)
                << " both give " << int(m.dik);
        }
    }
    // The way back gives the usual scancode of such keys.
    EXPECT_EQ(ScancodeFromDik(DIK_BACKSLASH), SDL_SCANCODE_BACKSLASH);
    EXPECT_EQ(ScancodeFromDik(DIK_MUTE), SDL_SCANCODE_MUTE);
}

TEST(KeyTable, EveryNamedKeyButTheBrazilianKeypadDotIsOnTheKeyboard) {
#define CHECK_KEY(name, code) \
    EXPECT_EQ(platform::IsKeyboardKey(code), code != DIK_ABNT_C2) << "DIK_" #name;
    VELMOR_DIK_KEYS(CHECK_KEY)
#undef CHECK_KEY
    EXPECT_FALSE(platform::IsKeyboardKey(0));
    EXPECT_FALSE(platform::IsKeyboardKey(0x54));
    EXPECT_FALSE(platform::IsKeyboardKey(256));
}

}  // namespace
