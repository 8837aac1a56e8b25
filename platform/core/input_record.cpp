#include "platform/core/input_record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/core/clock.h"
#include "platform/core/context.h"
#include "platform/core/dinput.h"
#include "platform/core/input_script.h"
#include "platform/core/platform.h"

namespace platform {
namespace {

constexpr std::int64_t kMaxMotion = 1000000;  // what a script's mouse line may hold

struct Recorder {
    std::FILE* file = nullptr;
    std::string path;
    int passListener = 0;
    bool clockSet = false;  // a clock event has been written ...
    ClockReading clock;     // ... and this is what it set
    bool firstPass = true;
    // Events taken in and not yet written, oldest first.
    std::vector<ScriptEvent> pending;

    ~Recorder() {
        if (file) std::fclose(file);  // the context ended while recording
    }
};

// The recording under way in this context, if any.
std::unique_ptr<Recorder>& Active() {
    return detail::Ctx().recorder.Get<std::unique_ptr<Recorder>>();
}

void Write(const ScriptEvent& event) {
    std::fputs((FormatScriptEvent(event) + "\n").c_str(), Active()->file);
}

// Motion of one frame adds up until the game reads it, so consecutive
// motions of a frame are one line.
void Observe(ScriptEvent event) {
    event.frame = PresentedFrames() + 1;
    auto& pending = Active()->pending;
    if (event.kind == ScriptEvent::Kind::kMouse && !pending.empty()) {
        ScriptEvent& last = pending.back();
        const std::int64_t dx = std::int64_t{last.dx} + event.dx;
        const std::int64_t dy = std::int64_t{last.dy} + event.dy;
        if (last.kind == ScriptEvent::Kind::kMouse && last.frame == event.frame &&
            dx >= -kMaxMotion && dx <= kMaxMotion && dy >= -kMaxMotion && dy <= kMaxMotion) {
            last.dx = static_cast<std::int32_t>(dx);
            last.dy = static_cast<std::int32_t>(dy);
            return;
        }
    }
    pending.push_back(event);
}

// Writes a clock event for `frame` when the held reading is not what a
// replay would read there without it.
void LatchAndWriteClock(std::int64_t frame) {
    Recorder* recorder = Active().get();
    const ClockReading now = LatchClock();
    const ClockReading replayed =
        recorder->clockSet ? recorder->clock
                           : VirtualReading(kDefaultClockStart, frame > 0 ? frame - 1 : 0);
    if (now == replayed) return;
    ScriptEvent e;
    e.kind = ScriptEvent::Kind::kClock;
    e.frame = frame;
    e.seconds = now.seconds;
    e.millis = now.millis;
    Write(e);
    recorder->clockSet = true;
    recorder->clock = now;
}

// The start of pass `frame`: what came before it is complete. Events a
// script injected for this frame are already pending; they follow the clock.
void OnPass(std::int64_t frame) {
    Recorder* recorder = Active().get();
    auto& pending = recorder->pending;
    std::size_t i = 0;
    for (; i < pending.size() && pending[i].frame < frame; ++i) Write(pending[i]);
    LatchAndWriteClock(frame);
    // Devices still waiting for the window to come to the front read
    // nothing: a replay, whose window is in front, starts out of focus.
    if (recorder->firstPass && DevicesAwaitFocus()) {
        ScriptEvent e;
        e.kind = ScriptEvent::Kind::kFocus;
        e.frame = frame;
        e.down = false;
        Write(e);
    }
    recorder->firstPass = false;
    for (; i < pending.size(); ++i) Write(pending[i]);
    pending.clear();
    std::fflush(recorder->file);  // a run that is killed leaves a usable script
}

}  // namespace

bool StartRecording(const std::string& path, std::string* error) {
    std::unique_ptr<Recorder>& active = Active();
    if (active) {
        *error = "--record: already recording";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "--record: cannot create '" + path + "' (" + std::strerror(errno) + ")";
        return false;
    }
    active = std::make_unique<Recorder>();
    Recorder* recorder = active.get();
    recorder->file = file;
    recorder->path = path;
    // The level's set-up, before the first pass, reads the clock as frame 0.
    LatchAndWriteClock(0);
    SetInputObserver(Observe);
    recorder->passListener = AddPassListener(OnPass);
    return true;
}

bool StopRecording(const std::string& note, std::string* error) {
    std::unique_ptr<Recorder>& active = Active();
    if (!active) return true;
    Recorder* recorder = active.get();
    SetInputObserver(nullptr);
    RemovePassListener(recorder->passListener);
    ReleaseClock();
    for (const ScriptEvent& e : recorder->pending) Write(e);
    if (!note.empty()) std::fputs(("# " + note + "\n").c_str(), recorder->file);
    const bool ok = !std::ferror(recorder->file);
    const bool closed = std::fclose(recorder->file) == 0;
    recorder->file = nullptr;
    if ((!ok || !closed) && error) *error = "--record: writing '" + recorder->path + "' failed";
    active.reset();
    return ok && closed;
}

}  // namespace platform
