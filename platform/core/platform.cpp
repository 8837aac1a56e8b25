#include "platform/core/platform.h"

#include <map>

#include "platform/core/clock.h"
#include "platform/core/context.h"
#include "platform/core/internal.h"
#include "platform/driver.h"

namespace platform {
namespace {

// The driver tables are chosen before Init and outlive every context.
Drivers installed;

template <typename F>
struct Listeners {
    std::map<int, F> items;
    int next = 1;
    int Add(F f) {
        items.emplace(next, std::move(f));
        return next++;
    }
};

// The observers of a run and where its loop is.
struct RunState {
    Listeners<PresentListener> presents;
    Listeners<PassListener> passes;
    std::int64_t lastPassFrame = -1;
    bool started = false;  // Init started the video driver
    bool drawEveryFrame = false;
};

RunState& Run() { return detail::Ctx().run.Get<RunState>(); }

}  // namespace

void InstallDrivers(const Drivers& drivers) { installed = drivers; }
const Drivers& InstalledDrivers() { return installed; }

bool IsHeadless() { return !installed.video || !installed.video->realTime; }

bool Init(const Config& config, std::string* error) {
    if (IsHeadless())
        UseVirtualClock(config.clockStart);
    else
        UseRealClock();
    detail::TraceEnabled();  // a bad VELMOR_TRACE is told now, not at the first trace
    const VideoDriver* video = installed.video;
    if (video && video->start && !video->start(error)) return false;
    Run().started = true;
    Run().drawEveryFrame = config.drawEveryFrame;
    return true;
}

// The audio device goes first (its thread mixes from the context), native
// windows before the driver that made them, the context last.
void Shutdown() {
    detail::Context* c = detail::ExistingCtx();
    if (!c) return;
    detail::TellLoadFailures();
    detail::StopAudioOutput();
    detail::DropNativeWindows();
    const RunState* run = c->run.Find<RunState>();
    if (run && run->started && installed.video && installed.video->stop) installed.video->stop();
    detail::EndCtx();
}

int AddPresentListener(PresentListener listener) { return Run().presents.Add(std::move(listener)); }
void RemovePresentListener(int id) { Run().presents.items.erase(id); }

void NotifyPresented(const PresentedImage& image) {
    detail::EndInputFrame();
    CountPresentedFrame();
    const std::int64_t frame = PresentedFrames();
    // Copy: a listener may remove itself.
    auto items = Run().presents.items;
    for (auto& [id, f] : items) f(frame, image);
}

int AddPassListener(PassListener listener) { return Run().passes.Add(std::move(listener)); }
void RemovePassListener(int id) { Run().passes.items.erase(id); }

void NotifyPassStart() {
    const std::int64_t frame = PresentedFrames() + 1;
    RunState& run = Run();
    if (frame == run.lastPassFrame) return;
    detail::TellLoadFailures();
    run.lastPassFrame = frame;
    auto items = run.passes.items;
    for (auto& [id, f] : items) f(frame);
}

namespace detail {
bool DrawEveryFrameAsked() { return Run().drawEveryFrame; }
}  // namespace detail

}  // namespace platform
