// Clock-driven mixing: without a real-time device the mixer advances with the
// virtual clock, 735 sample frames (1/60 s at 44100 Hz) per presented frame,
// so a run's audio is as reproducible as its pictures.
#include "platform/audio_mixer.h"
#include "platform/platform.h"

namespace platform::audio {

void StartClockDriven() {
    static bool started = false;
    if (started) return;
    started = true;
    AddPresentListener([](std::int64_t, const std::uint32_t*, int, int) {
        AdvanceAudio(kMixFramesPerVideoFrame);
    });
}

}  // namespace platform::audio
