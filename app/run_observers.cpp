#include "app/run_observers.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "platform/core/clock.h"
#include "platform/core/input_record.h"
#include "platform/core/platform.h"
#include "platform/core/png.h"

namespace {

// Closes the game's window the normal way, if it is still open.
void CloseWindow() {
    if (engine->window) SendMessageA(engine->window, WM_CLOSE, 0, 0);
}

// The signal StopOnSignal caught, 0 until one comes.
volatile std::sig_atomic_t stopSignal = 0;

// Why StopOnSignal closed the window, "" until it does: nothing a recording
// holds closed the run, so the recording ends with a close of its own.
std::string stoppedBy;

std::string StopCause() {
    switch (stopSignal) {
        case 0:
            return "stopped: an output could not go on";
        case SIGINT:
            return "stopped by SIGINT";
        case SIGTERM:
            return "stopped by SIGTERM";
        case SIGHUP:
            return "stopped by SIGHUP";
    }
    return "stopped by signal " + std::to_string(stopSignal);
}

extern "C" void OnStopSignal(int sig) {
    if (stopSignal) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    stopSignal = sig;
}

}  // namespace

DumpWriter::~DumpWriter() {
    std::string ignored;
    Finish(&ignored);
}

bool DumpWriter::Open(const std::string& path, std::int64_t every, std::string* error) {
    if (path.empty()) return true;
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        *error = "--dump: cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    path_ = path;
    every_ = every < 1 ? 1 : every;
    listener_ =
        platform::AddPresentListener([this](std::int64_t frame, const platform::PresentedImage&) {
            if (failed_ || frame % every_ != 0) return;
            const std::string line = DumpFrameLine(frame) + "\n";
            // Flushed per frame: a dump watched while it grows (the soak
            // script counts its lines) or cut short holds whole frames.
            errno = 0;
            if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
                std::fflush(file_) != 0)
                failed_ = errno ? errno : EIO;
        });
    return true;
}

bool DumpWriter::Finish(std::string* error) {
    if (listener_) platform::RemovePresentListener(listener_);
    listener_ = 0;
    if (!file_) return true;
    errno = 0;
    if (std::fclose(file_) != 0 && !failed_) failed_ = errno ? errno : EIO;
    file_ = nullptr;
    if (failed_) *error = "--dump: writing '" + path_ + "' failed: " + std::strerror(failed_);
    return !failed_;
}

bool AudioCapture::Open(const std::string& path, std::string* error) {
    path_ = path;
    errno = 0;
    if (path.empty() || SUCCEEDED(recorder_.Start(path.c_str()))) return true;
    *error = "--audio-out: cannot create '" + path + "'";
    if (errno) *error += std::string(": ") + std::strerror(errno);
    return false;
}

bool AudioCapture::Finish(std::string* error) {
    const int reason = recorder_.StopReason();
    const bool closed = SUCCEEDED(recorder_.Finish());
    if (reason == MixRecorder::kFull)
        *error = "--audio-out: '" + path_ +
                 "' is full: a WAVE file holds at most 4 GiB (6 h 45 min of sound), so the "
                 "run was stopped there";
    else if (reason)
        *error = "--audio-out: writing '" + path_ + "' failed: " + std::strerror(reason);
    else if (!closed)
        *error = "--audio-out: writing '" + path_ + "' failed";
    return closed && !reason;
}

ScriptPlayer::ScriptPlayer(std::vector<platform::ScriptEvent> script) {
    if (!script.empty()) player_ = platform::PlayInputScript(std::move(script));
}

ScriptPlayer::~ScriptPlayer() {
    if (player_) platform::StopInputScript(player_);
}

Recorder::~Recorder() {
    std::string ignored;
    Finish(&ignored);
}

bool Recorder::Open(const std::string& path, std::string* error) {
    recording_ = !path.empty() && platform::StartRecording(path, error);
    return path.empty() || recording_;
}

bool Recorder::Finish(std::string* error) {
    if (!recording_) return true;
    recording_ = false;
    // A run that --frames ended has no close to record; its replay needs the
    // same option. One stopped from outside ends in a close of its own.
    if (!stoppedBy.empty()) return platform::StopRecording(stoppedBy, true, error);
    std::string note;
    if (frames_ >= 0 && platform::PresentedFrames() == frames_)
        note = "closed by --frames " + std::to_string(frames_) + ": replay with the same --frames";
    return platform::StopRecording(note, false, error);
}

bool Recorder::Failed() const { return recording_ && platform::RecordingFailed(); }

Screenshots::Screenshots(std::vector<std::pair<std::int64_t, std::string>> shots)
    : shots_(std::move(shots)), taken_(shots_.size(), false) {
    if (shots_.empty()) return;
    listener_ = platform::AddPresentListener(
        [this](std::int64_t frame, const platform::PresentedImage& image) {
            for (std::size_t i = 0; i < shots_.size(); ++i) {
                if (shots_[i].first != frame) continue;
                taken_[i] = true;
                std::string why;
                if (!platform::SavePng(shots_[i].second, image.Pixels(), image.Width(),
                                       image.Height(), false, &why) &&
                    error_.empty())
                    error_ = "--screenshot: " + why;
            }
        });
}

Screenshots::~Screenshots() {
    if (listener_) platform::RemovePresentListener(listener_);
}

bool Screenshots::Finish(std::string* error) {
    if (!error_.empty()) {
        *error = error_;
        return false;
    }
    for (std::size_t i = 0; i < shots_.size(); ++i)
        if (!taken_[i]) {
            *error = "--screenshot: frame " + std::to_string(shots_[i].first) +
                     " was never presented, so '" + shots_[i].second + "' was not written";
            return false;
        }
    return true;
}

FrameLimit::FrameLimit(std::int64_t frames) {
    if (frames > 0)
        presentListener_ = platform::AddPresentListener(
            [frames](std::int64_t frame, const platform::PresentedImage&) {
                if (frame == frames) CloseWindow();
            });
    if (frames == 0)
        passListener_ = platform::AddPassListener([](std::int64_t frame) {
            if (frame == 1) CloseWindow();
        });
}

FrameLimit::~FrameLimit() {
    if (presentListener_) platform::RemovePresentListener(presentListener_);
    if (passListener_) platform::RemovePassListener(passListener_);
}

StopOnSignal::StopOnSignal(std::vector<const RunObserver*> outputs) : outputs_(std::move(outputs)) {
    stopSignal = 0;
    stoppedBy.clear();
    struct sigaction stopAction {};
    stopAction.sa_handler = OnStopSignal;
    sigemptyset(&stopAction.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &stopAction, &old_[i]);
    listener_ = platform::AddPassListener([this](std::int64_t) {
        if (closeSent_ || !engine->window) return;
        bool stop = stopSignal != 0;
        for (const RunObserver* output : outputs_) stop = stop || output->Failed();
        if (!stop) return;
        closeSent_ = true;
        stoppedBy = StopCause();
        CloseWindow();
    });
}

StopOnSignal::~StopOnSignal() {
    platform::RemovePassListener(listener_);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &old_[i], nullptr);
}
