// Private core of the sound buffers: the shared mixer state and the buffer
// records. Game code never includes this header.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/core/dsound.h"

namespace platform::audio {

struct BufferState {
    std::shared_ptr<std::vector<BYTE>> data;  // shared with duplicates
    WAVEFORMATEX format{};
    DWORD flags = 0;
    bool primary = false;
    bool playing = false;
    bool looping = false;
    bool lost = false;
    std::uint32_t frame = 0;  // play position in sample frames
    std::uint32_t frac = 0;   // fraction of the next frame, in 1/2^32
    // The last frames the cursor moved past (left, right), as they were when
    // played: the resampler's taps behind the cursor read these, so a block
    // refilled behind the cursor (a streaming ring) is never heard twice.
    // `pastFrames` counts those kept since the position was last set.
    static constexpr std::uint32_t kPast = 8;
    float past[kPast][2] = {};
    std::uint32_t pastNext = 0;  // slot of the next frame to keep (mod kPast)
    std::uint32_t pastFrames = 0;
    LONG volume = 0;
    LONG pan = 0;
    DWORD frequency = 0;  // 0: the format's rate
    std::vector<DSBPOSITIONNOTIFY> notes;
    DS3DBUFFER params3d{};

    std::uint32_t Frames() const {
        return format.nBlockAlign ? static_cast<std::uint32_t>(data->size() / format.nBlockAlign)
                                  : 0;
    }
};

struct Listener {
    D3DVECTOR position{0, 0, 0};
    D3DVECTOR front{0, 0, 1};
    D3DVECTOR top{0, 1, 0};
};

// Everything the mixing thread and the game thread share, under `lock`.
struct Mixer {
    std::mutex lock;
    std::vector<BufferState*> buffers;
    Listener listener;
    WAVEFORMATEX primaryFormat{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
    MixTap tap;
    std::vector<std::int32_t> accumulator;
    bool paused = false;  // every buffer holds its place; the output is silent
};
Mixer& TheMixer();

// Mixes `frames` stereo frames of every playing buffer into `out`, advances
// their cursors and signals notifications. Takes the lock itself; feeds the tap.
void MixBlock(std::int16_t* out, int frames);

// Signals the notifications at DSBPN_OFFSETSTOP of a buffer that stopped.
void FireStop(const BufferState& b);

// Whether a format is PCM the buffers can hold (8 or 16 bits, 1 or 2 channels).
bool ValidPcm(const WAVEFORMATEX& f);
// Adds a buffer to the mixer, or takes it out; both take the lock.
void Register(BufferState* s);
void Unregister(BufferState* s);
// Starts the output on first use: the audio driver's device, else the clock.
void StartOutput();

}  // namespace platform::audio
