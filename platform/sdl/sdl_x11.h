// What the SDL driver asks the X server directly, apart from SDL (its
// headers would clash with core's names).
#pragma once

#include <SDL2/SDL.h>

namespace platform::sdl {

// Whether a window manager runs on the window's display. Other window
// systems always have one.
bool HasWindowManager(SDL_Window* window);

}  // namespace platform::sdl
