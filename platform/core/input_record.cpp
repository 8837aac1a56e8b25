#include "platform/core/input_record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
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
constexpr int kFull = -1;                     // Recorder::failed: the file reached kMaxScriptBytes

struct Recorder {
    std::FILE* file = nullptr;
    std::string path;
    int passListener = 0;
    bool clockSet = false;  // a clock event has been written ...
    ClockReading clock;     // ... and this is what it set
    bool firstPass = true;
    // Events taken in and not yet written, oldest first.
    std::vector<ScriptEvent> pending;
    std::string lines;  // lines made and not yet written
    // A regular file ends in a provisional last line, rewritten at every
    // pass; a pipe or a device gets the lines alone.
    bool rewritable = false;
    std::size_t size = 0;  // bytes written before the provisional end
    int failed = 0;        // kFull, or the errno of a write that failed

    ~Recorder() {
        if (file) std::fclose(file);  // the context ended while recording
    }
};

// The recording under way in this context, if any.
std::unique_ptr<Recorder>& Active() {
    return detail::Ctx().recorder.Get<std::unique_ptr<Recorder>>();
}

void Write(const ScriptEvent& event) { Active()->lines += FormatScriptEvent(event) + "\n"; }

// Puts the lines made so far in the file, over the provisional end, followed
// by `end`: the next provisional end, or (`last`) what closes the file. A
// recording that would grow past what a script may hold, or whose write
// fails, stops there and keeps the end it had.
bool Commit(Recorder* recorder, const std::string& end, bool last) {
    std::string text = std::move(recorder->lines);
    recorder->lines.clear();
    if (recorder->failed) return false;
    const bool provisional = !last && recorder->rewritable;
    if (last || provisional) text += end;
    if (recorder->size + text.size() > kMaxScriptBytes) {
        recorder->failed = kFull;
        return false;
    }
    errno = 0;
    if ((recorder->rewritable &&
         std::fseek(recorder->file, static_cast<long>(recorder->size), SEEK_SET) != 0) ||
        std::fwrite(text.data(), 1, text.size(), recorder->file) != text.size() ||
        std::fflush(recorder->file) != 0) {
        recorder->failed = errno ? errno : EIO;
        return false;
    }
    recorder->size += text.size() - (provisional ? end.size() : 0);
    return true;
}

// A close in the pass of `frame`, with `why` beside it: the last line of a
// recording whose run ended there without a close of its own. Its replay
// presents that frame and ends.
std::string CloseAfter(std::int64_t frame, const std::string& why) {
    ScriptEvent close;
    close.kind = ScriptEvent::Kind::kClose;
    close.frame = frame;
    return FormatScriptEvent(close) + "  # " + why + "\n";
}

// The provisional end once frame `frame` is whole on disk, so the replay of a
// recording cut short (a killed run) ends after the last frame it holds
// whole. A recording that finishes replaces it.
std::string EndAfter(std::int64_t frame) {
    return frame < 1 ? ""
                     : CloseAfter(frame,
                                  "the recording stops here, after frame " + std::to_string(frame));
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

// The start of pass `frame`: what came before it is complete and goes to
// disk, so a run that is killed leaves a script that replays. Events a script
// injected for this frame are already pending; they follow the clock, and
// the frame's lines wait for the input the pass takes in.
void OnPass(std::int64_t frame) {
    Recorder* recorder = Active().get();
    auto& pending = recorder->pending;
    std::size_t i = 0;
    for (; i < pending.size() && pending[i].frame < frame; ++i) Write(pending[i]);
    Commit(recorder, EndAfter(frame - 1), false);
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
    std::error_code ec;
    recorder->rewritable = std::filesystem::is_regular_file(path, ec);
    // The level's set-up, before the first pass, reads the clock as frame 0.
    LatchAndWriteClock(0);
    Commit(recorder, "", false);
    SetInputObserver(Observe);
    recorder->passListener = AddPassListener(OnPass);
    return true;
}

bool RecordingFailed() {
    const std::unique_ptr<Recorder>& active = Active();
    return active && active->failed;
}

bool StopRecording(const std::string& note, bool closeAfterLastFrame, std::string* error) {
    std::unique_ptr<Recorder>& active = Active();
    if (!active) return true;
    Recorder* recorder = active.get();
    SetInputObserver(nullptr);
    RemovePassListener(recorder->passListener);
    ReleaseClock();
    for (const ScriptEvent& e : recorder->pending) Write(e);
    // The lines left take the provisional end's place, and the file ends with them.
    const std::int64_t last = PresentedFrames();
    const std::string end = closeAfterLastFrame && last > 0 ? CloseAfter(last, note)
                            : note.empty()                  ? ""
                                                            : "# " + note + "\n";
    const bool committed = Commit(recorder, end, true);
    const int failed = recorder->failed;
    const bool closed = std::fclose(recorder->file) == 0;
    recorder->file = nullptr;
    std::error_code ec;
    if (committed && recorder->rewritable)
        std::filesystem::resize_file(recorder->path, recorder->size, ec);
    const bool ok = committed && closed && !ec;
    if (!ok && error) {
        if (failed == kFull)
            *error = "--record: '" + recorder->path + "' reached " +
                     std::to_string(kMaxScriptBytes >> 20) +
                     " MiB, the most an --input script may hold; it replays up to there";
        else
            *error = "--record: writing '" + recorder->path + "' failed" +
                     (failed ? std::string(": ") + std::strerror(failed) : "");
    }
    active.reset();
    return ok;
}

}  // namespace platform
