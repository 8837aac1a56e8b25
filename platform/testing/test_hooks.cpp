#include "platform/testing/test_hooks.h"

#include <mutex>

#include "platform/core/audio_mixer.h"
#include "platform/core/context.h"
#include "platform/core/internal.h"

namespace platform {

void SetPresentedFramesForTest(std::int64_t frames) { detail::Ctx().presentedFrames = frames; }
void EndInputFrameForTest() { detail::EndInputFrame(); }

void MarkBufferLostForTest(IDirectSoundBuffer* buffer) {
    if (!buffer) return;
    std::lock_guard<std::mutex> g(audio::TheMixer().lock);
    buffer->State()->lost = true;
    buffer->State()->playing = false;
}

void MixForTest(std::int16_t* out, int frames) { audio::MixBlock(out, frames); }

WAVEFORMATEX PrimaryFormatForTest() {
    std::lock_guard<std::mutex> g(audio::TheMixer().lock);
    return audio::TheMixer().primaryFormat;
}

int LiveBufferCountForTest() {
    std::lock_guard<std::mutex> g(audio::TheMixer().lock);
    return static_cast<int>(audio::TheMixer().buffers.size());
}

}  // namespace platform
