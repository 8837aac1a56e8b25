// Subscription to raw SDL events for the platform's own back ends (keyboard,
// mouse, focus). Only platform/ includes this header.
#pragma once

#include <SDL2/SDL_events.h>

#include <functional>

namespace platform::sdl {

using EventHandler = std::function<void(const SDL_Event&)>;
int AddEventHandler(EventHandler handler);
void RemoveEventHandler(int id);

}  // namespace platform::sdl
