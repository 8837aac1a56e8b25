// Hooks for tests and benchmarks only: set the platform into states a run
// reaches slowly or never (a lost buffer, a failing device, a given frame
// count) and read what it keeps to itself. Product code never includes this.
#pragma once

#include <cstdint>

#include "platform/core/dsound.h"

namespace platform {

// Clock: sets the presented-frame count that drives the virtual clock.
void SetPresentedFramesForTest(std::int64_t frames);

// Input: ends a frame as a present does (a press its reads showed is no
// longer latched), for tests that update entities without presenting.
void EndInputFrameForTest();

// Sound: mark a buffer lost as a device reset would.
void MarkBufferLostForTest(IDirectSoundBuffer* buffer);
// Mixes `frames` frames into `out` (interleaved stereo) as the device would,
// advancing every playing buffer.
void MixForTest(std::int16_t* out, int frames);
// The primary buffer's format as last set.
WAVEFORMATEX PrimaryFormatForTest();
// Number of buffers that exist (created or duplicated, not yet released).
int LiveBufferCountForTest();

}  // namespace platform
