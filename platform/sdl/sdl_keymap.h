// SDL scancodes to DirectInput key codes. One table, read both ways; keys
// that have two scancodes (the ISO '#' key and backslash, the two mute keys)
// list their usual scancode first, which is the one the other way gives.
#pragma once

#include <SDL2/SDL_scancode.h>

#include <span>

#include "platform/core/types.h"

namespace platform::sdl {

struct KeyMapping {
    SDL_Scancode scancode;
    BYTE dik;
};

std::span<const KeyMapping> KeyTable();

// 0 for a scancode the table does not hold.
BYTE DikFromScancode(SDL_Scancode scancode);

// SDL_SCANCODE_UNKNOWN for a code no key has.
SDL_Scancode ScancodeFromDik(int dik);

}  // namespace platform::sdl
