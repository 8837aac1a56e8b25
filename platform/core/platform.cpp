#include "platform/core/platform.h"

#include <map>

#include "platform/core/clock.h"
#include "platform/core/internal.h"
#include "platform/driver.h"

namespace platform {
namespace {

template <typename F>
struct Listeners {
    std::map<int, F> items;
    int next = 1;
    int Add(F f) {
        items.emplace(next, std::move(f));
        return next++;
    }
};

Listeners<PresentListener>& Presents() {
    static Listeners<PresentListener> l;
    return l;
}
Listeners<PassListener>& Passes() {
    static Listeners<PassListener> l;
    return l;
}
std::int64_t lastPassFrame = -1;
Drivers installed;
bool started = false;

}  // namespace

void InstallDrivers(const Drivers& drivers) { installed = drivers; }
const Drivers& InstalledDrivers() { return installed; }

bool IsHeadless() { return !installed.video || !installed.video->realTime; }

bool Init(const Config& config, std::string* error) {
    if (IsHeadless())
        UseVirtualClock(config.clockStart);
    else
        UseRealClock();
    const VideoDriver* video = installed.video;
    if (video && video->start && !video->start(error)) return false;
    started = true;
    return true;
}

void Shutdown() {
    detail::TellLoadFailures();
    if (started && installed.video && installed.video->stop) installed.video->stop();
    started = false;
}

int AddPresentListener(PresentListener listener) { return Presents().Add(std::move(listener)); }
void RemovePresentListener(int id) { Presents().items.erase(id); }

void NotifyPresented(const std::uint32_t* pixels, int width, int height) {
    detail::EndInputFrame();
    CountPresentedFrame();
    const std::int64_t frame = PresentedFrames();
    // Copy: a listener may remove itself.
    auto items = Presents().items;
    for (auto& [id, f] : items) f(frame, pixels, width, height);
}

int AddPassListener(PassListener listener) { return Passes().Add(std::move(listener)); }
void RemovePassListener(int id) { Passes().items.erase(id); }

void NotifyPassStart() {
    const std::int64_t frame = PresentedFrames() + 1;
    if (frame == lastPassFrame) return;
    detail::TellLoadFailures();
    lastPassFrame = frame;
    auto items = Passes().items;
    for (auto& [id, f] : items) f(frame);
}

}  // namespace platform
