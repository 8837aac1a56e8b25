// Scripted input (--input FILE): one event a line, applied at the start of
// the loop pass of its frame, before the message pump takes in system events.
//   <frame> key <DIK_ name or 0xNN> down|up
//   <frame> mouse <dx> <dy>
//   <frame> button <0-3|left|right|middle> down|up
//   <frame> close
//   <frame> wheel <notches>                 (+ away from the user)
//   <frame> focus in|out                    (the window gains / loses the focus)
//   <frame> clock <seconds> <milliseconds>  (what the clock reads from then on)
// '#' starts a comment. Frame 0 is the set-up before the first pass; only
// clock events may stand there. The events are injected as system events, so a
// headless run reads them as its only input and a windowed run reads them
// together with the real keyboard and mouse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/script_event.h"

namespace platform {

// A token as an error message shows it: bytes outside printable ASCII as
// \xNN (so a NUL cannot cut the message short, nor an escape sequence reach
// the terminal) and at most `max` characters of it, "..." marking a cut.
std::string Shown(std::string_view text, std::size_t max = 40);

// The most bytes a script may hold: 16 MiB, two hours and more of a recorded
// session, which parse into about 200 MB at the worst. A longer file, or an
// endless one such as /dev/zero, is refused unread.
constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;

// Parses a whole script. On failure returns false and sets `error` to one
// line "NAME:LINE: what is wrong" (no trailing newline). The events come back
// in frame order; events of one frame keep the order of their lines.
bool ParseInputScript(std::string_view text, const std::string& name,
                      std::vector<ScriptEvent>* events, std::string* error);

// Reads and parses the file at `path`; unreadable files, and files past
// kMaxScriptBytes, fail the same way.
bool LoadInputScript(const std::string& path, std::vector<ScriptEvent>* events, std::string* error);

// The event as one script line, without the newline ("12 key DIK_LEFT down").
std::string FormatScriptEvent(const ScriptEvent& event);

// Injects one event now (a clock event sets the clock).
void ApplyScriptEvent(const ScriptEvent& event);

// Plays a script: the events of frame 0 at once, then from now on each loop
// pass injects the events of its frame (and any of earlier frames not yet
// played). Returns an id for Stop.
int PlayInputScript(std::vector<ScriptEvent> events);
void StopInputScript(int id);

}  // namespace platform
