// Game controllers in the SDL driver: opened as they are plugged in, closed
// as they go, their input played as the keys and mouse the levels read
// (GamepadMapper). The keyboard's keys and the mouse's buttons pass through
// here too, so that a key held both on a pad and on the keyboard stays down
// until both let go.
#pragma once

#include <SDL2/SDL_events.h>

namespace platform::sdl {

// Starts SDL's controller subsystem; where it cannot start there are no pads.
void StartGamepads();
// Closes every pad and forgets what was held.
void StopGamepads();

void OnKeyboardKey(int dik, bool down);
void OnMouseButton(int button, bool down);
// Takes a controller event (added, removed, button, axis); ignores others.
void OnGamepadEvent(const SDL_Event& e);
// After a pump's events: the right sticks' mouse motion, once a pump.
void OnPumpEnd();

}  // namespace platform::sdl
