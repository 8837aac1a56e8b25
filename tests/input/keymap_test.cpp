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

// The keys a level or game object asks about; for every other key the way
// back to its scancode and the full-keyboard check below catch a lost row.
TEST(KeyTable, KeysTheGameReadsMapToTheirCodes) {
    const std::pair<SDL_Scancode, int> expected[] = {
        {SDL_SCANCODE_1, DIK_1},           {SDL_SCANCODE_6, DIK_6},
        {SDL_SCANCODE_Z, DIK_Z},           {SDL_SCANCODE_SPACE, DIK_SPACE},
        {SDL_SCANCODE_UP, DIK_UP},         {SDL_SCANCODE_LEFT, DIK_LEFT},
        {SDL_SCANCODE_RIGHT, DIK_RIGHT},   {SDL_SCANCODE_DOWN, DIK_DOWN},
        {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
    };
    for (const auto& [scancode, dik] : expected) EXPECT_EQ(DikFromScancode(scancode), dik) << dik;
    for (const auto& m : KeyTable()) EXPECT_EQ(DikFromScancode(ScancodeFromDik(m.dik)), m.dik);
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
