// --record FILE: writes what the game saw, as an --input script that a
// headless run replays exactly. Every injected key, motion, wheel notch,
// button, focus change and close is written at the frame of the loop pass
// that took it in; the clocks are read once per pass and held for that pass,
// and a clock event is written wherever they read otherwise than the last
// clock event, or before the first one the virtual clock of a replay with no
// options (from its default start), would.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Starts recording into `path` (created or emptied). Call after the platform
// has started and after any input script has begun playing.
bool StartRecording(const std::string& path, std::string* error);

// Writes what is left and closes the file; `note`, when not empty, is added
// as a closing comment line. False with `error` set when writing failed.
bool StopRecording(const std::string& note, std::string* error);

}  // namespace platform
