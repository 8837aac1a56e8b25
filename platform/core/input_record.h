// --record FILE: writes what the game saw, as an --input script that a
// headless run replays exactly. Every injected key, motion, wheel notch,
// button, focus change and close is written at the frame of the loop pass
// that took it in; the clocks are read once per pass and held for that pass,
// and a clock event is written wherever they read otherwise than the last
// clock event, or before the first one the virtual clock of a replay with no
// options (from its default start), would.
// The lines of each frame are on disk when the next pass starts, followed in
// a regular file by a provisional last line, a close in that frame: a
// recording cut short by a killed run replays, without options, up to the
// last frame it holds whole. A recording that finishes ends as it should
// instead. A file stops growing at what an --input script may hold
// (kMaxScriptBytes), and still replays up to there.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Starts recording into `path` (created or emptied). Call after the platform
// has started and after any input script has begun playing.
bool StartRecording(const std::string& path, std::string* error);

// True once the recording cannot go on (a write failed, or the file reached
// what a script may hold, up to which it still replays); StopRecording says why.
bool RecordingFailed();

// Writes what is left and closes the file; `note`, when not empty, is added
// as a closing comment line. With `closeAfterLastFrame` (a run that nothing
// recorded closed, such as a signal) the file ends in a close after the last
// frame presented, with the note beside it, so that its replay ends there
// too. False with `error` set when writing failed.
bool StopRecording(const std::string& note, bool closeAfterLastFrame, std::string* error);

}  // namespace platform
