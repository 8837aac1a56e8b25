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

// The keys the levels and game objects ask about map to their codes; every
// key of a 105-key board has a code, and the way back gives its scancode.
TEST(KeyTable, EveryKeyOfA105KeyBoardMapsAndMapsBack) {
    const std::pair<SDL_Scancode, int> read[] = {
        {SDL_SCANCODE_1, DIK_1},           {SDL_SCANCODE_6, DIK_6},
        {SDL_SCANCODE_Z, DIK_Z},           {SDL_SCANCODE_SPACE, DIK_SPACE},
        {SDL_SCANCODE_UP, DIK_UP},         {SDL_SCANCODE_LEFT, DIK_LEFT},
        {SDL_SCANCODE_RIGHT, DIK_RIGHT},   {SDL_SCANCODE_DOWN, DIK_DOWN},
        {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
    };
    for (const auto& [scancode, dik] : read) EXPECT_EQ(DikFromScancode(scancode), dik) << dik;
    std::set<SDL_Scancode> board = {SDL_SCANCODE_NONUSBACKSLASH, SDL_SCANCODE_APPLICATION};
    for (auto [from, to] : {std::pair{SDL_SCANCODE_A, SDL_SCANCODE_0},
                            {SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_PERIOD},  // to the numpad
                            {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RGUI}})
        for (int s = from; s <= to; ++s) board.insert(SDL_Scancode(s));
    ASSERT_GE(board.size(), 105u);
    for (SDL_Scancode s : board) EXPECT_NE(DikFromScancode(s), 0) << SDL_GetScancodeName(s);
    for (const auto& m : KeyTable()) EXPECT_EQ(DikFromScancode(ScancodeFromDik(m.dik)), m.dik);
}

// No two scancodes share a code unless USB names one key twice: ISO '#' is
// the backslash position; mute is on the keyboard page and the consumer page.
TEST(KeyTable, NoTwoScancodesShareACodeUnlessTheyAreOneKey) {
    const std::set<std::pair<SDL_Scancode, SDL_Scancode>> sameKey = {
        {SDL_SCANCODE_BACKSLASH, SDL_SCANCODE_NONUSHASH},
        {SDL_SCANCODE_MUTE, SDL_SCANCODE_AUDIOMUTE},
    };
    std::map<int, SDL_Scancode> first;
    for (const auto& m : KeyTable()) {
        const auto [it, fresh] = first.emplace(m.dik, m.scancode);
        EXPECT_TRUE(fresh || sameKey.count({it->second, m.scancode}))
            << SDL_GetScancodeName(it->second) << " and " << SDL_GetScancodeName(m.scancode);
    }
    EXPECT_EQ(ScancodeFromDik(DIK_BACKSLASH), SDL_SCANCODE_BACKSLASH);
    EXPECT_EQ(ScancodeFromDik(DIK_MUTE), SDL_SCANCODE_MUTE);
    // Every named key but the Brazilian keypad dot is on the keyboard.
#define CHECK_KEY(name, code) \
    EXPECT_EQ(platform::IsKeyboardKey(code), code != DIK_ABNT_C2) << "DIK_" #name;
    VELMOR_DIK_KEYS(CHECK_KEY)
#undef CHECK_KEY
}

}  // namespace
