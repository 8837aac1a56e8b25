// The mixer that plays every sound buffer, and how it is driven: by an
// audio driver's device in real time, or by the clock, 735 sample frames per
// presented frame. Buffer calls come from the game thread; mixing runs on
// the device's thread (or the game thread when clock-driven). Both meet only
// under the mixer's lock. Sample memory is not: the game writes what Lock
// handed out without the lock, while the mixer may be reading other parts of
// the same buffer.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/matrix.h"
#include "platform/core/audio_mixer.h"
#include "platform/core/context.h"
#include "platform/core/internal.h"
#include "platform/core/platform.h"
#include "platform/driver.h"

using platform::audio::BufferState;
using platform::audio::Listener;

namespace {

// The mixer (shared with the audio device's thread) and how it is driven.
struct AudioState {
    platform::audio::Mixer mixer;
    bool clockDriven = false;
    bool deviceOpen = false;
    bool stepping = false;  // the present listener that steps the mixer is in
};

AudioState& Audio() { return platform::detail::Ctx().audio.Get<AudioState>(); }

}  // namespace

namespace platform::audio {

// The context's mixer: Shutdown closes the device, whose thread uses it,
// before the context goes.
Mixer& TheMixer() { return Audio().mixer; }

namespace {

float Db100ToGain(LONG hundredths) {
    if (hundredths <= DSBVOLUME_MIN) return 0.0f;
    if (hundredths >= 0) return 1.0f;
    return std::pow(10.0f, static_cast<float>(hundredths) / 2000.0f);
}

// Left and right gains of a buffer: volume, pan, and for 3D buffers the
// distance attenuation (min/distance, held between the minimum and maximum
// distance) and a balance from the listener-relative position.
void Gains(const BufferState& b, const Listener& l, float* left, float* right) {
    const float v = Db100ToGain(b.volume);
    float gl = v * (b.pan > 0 ? Db100ToGain(-b.pan) : 1.0f);
    float gr = v * (b.pan < 0 ? Db100ToGain(b.pan) : 1.0f);
    if ((b.flags & DSBCAPS_CTRL3D) && b.params3d.dwMode != DS3DMODE_DISABLE) {
        const D3DVECTOR rel = b.params3d.dwMode == DS3DMODE_HEADRELATIVE
                                  ? b.params3d.vPosition
                                  : D3DXVec3Subtract(b.params3d.vPosition, l.position);
        const float dist = std::sqrt(D3DXVec3Dot(rel, rel));
        const float minD = std::max(b.params3d.flMinDistance, 1e-6f);
        const float maxD = std::max(b.params3d.flMaxDistance, minD);
        const float att = minD / std::clamp(dist, minD, maxD);
        float balance = 0.0f;  // -1 left .. +1 right
        if (dist > 1e-6f) {
            const D3DXVECTOR3 right3 = D3DXVec3Cross(l.top, l.front);
            const float len = std::sqrt(D3DXVec3Dot(right3, right3));
            if (len > 1e-6f)
                balance = std::clamp(D3DXVec3Dot(rel, right3) / (len * dist), -1.0f, 1.0f);
        }
        gl *= att * std::min(1.0f, 1.0f - balance);
        gr *= att * std::min(1.0f, 1.0f + balance);
    }
    *left = gl;
    *right = gr;
}

void FireNotes(const BufferState& b, std::uint32_t frameDone) {
    const std::uint32_t align = b.format.nBlockAlign;
    for (const auto& n : b.notes)
        if (n.dwOffset != DSBPN_OFFSETSTOP && n.dwOffset / align == frameDone)
            SetEvent(n.hEventNotify);
}

inline float SampleAt(const BYTE* p, int bits) {
    if (bits == 8) return static_cast<float>(static_cast<int>(p[0]) - 128) * 256.0f;
    std::int16_t s;
    std::memcpy(&s, p, 2);
    return static_cast<float>(s);
}

// Resampling: a 16-tap windowed-sinc (Kaiser) interpolator, tabulated at
// kPhases fractional positions. Its cut-off is the source's Nyquist rate, so
// whole-sample positions give the samples themselves and 44.1 kHz sources
// (and any position with no fraction) pass through unchanged.
constexpr int kTaps = 16;
constexpr int kBefore = kTaps / 2 - 1;  // taps before the current frame
constexpr int kPhases = 512;

double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

const float* SincTable() {
    static const std::vector<float> table = [] {
        constexpr double kBeta = 7.0;
        constexpr double kPi = 3.14159265358979323846;
        std::vector<float> t(static_cast<std::size_t>(kPhases + 1) * kTaps);
        for (int p = 0; p <= kPhases; ++p) {
            const double frac = static_cast<double>(p) / kPhases;
            double w[kTaps], sum = 0.0;
            for (int j = 0; j < kTaps; ++j) {
                const double x = (j - kBefore) - frac;  // distance from the position
                const double r = x / (kTaps / 2);
                const double window =
                    r * r < 1.0 ? BesselI0(kBeta * std::sqrt(1.0 - r * r)) / BesselI0(kBeta) : 0.0;
                const double sinc = x == 0.0 ? 1.0 : std::sin(kPi * x) / (kPi * x);
                w[j] = sinc * window;
                sum += w[j];
            }
            for (int j = 0; j < kTaps; ++j)
                t[static_cast<std::size_t>(p) * kTaps + j] = static_cast<float>(w[j] / sum);
        }
        return t;
    }();
    return table.data();
}

// The left and right samples of frame `i` (mono: the same twice).
inline void FrameAt(const BYTE* data, std::uint32_t align, int bits, int channels, std::size_t i,
                    float* left, float* right) {
    const BYTE* p = data + i * align;
    *left = SampleAt(p, bits);
    *right = channels == 2 ? SampleAt(p + bits / 8, bits) : *left;
}

// The left and right samples at `frame` plus `frac` (1/2^32), filtered.
// Taps behind the cursor are the frames it played (the buffer's own frames
// right after the position was set, silence before its start); taps from
// the cursor on are the buffer's, past its end the start of a looping
// buffer and silence otherwise. Every tap adds in the same order whichever
// path reads it, so the result does not depend on where a frame came from.
void Interpolate(const BufferState& b, const BYTE* data, std::uint32_t total, int bits,
                 int channels, float* left, float* right) {
    const std::uint32_t align = b.format.nBlockAlign;
    const float* w =
        SincTable() + static_cast<std::size_t>(
                          (static_cast<std::uint64_t>(b.frac) * kPhases + (1ull << 31)) >> 32) *
                          kTaps;
    float l = 0.0f, r = 0.0f;
    int j = 0;
    if (b.pastFrames >= static_cast<std::uint32_t>(kBefore)) {
        for (; j < kBefore; ++j) {
            const float* s =
                b.past[(b.pastNext + BufferState::kPast - kBefore + j) % BufferState::kPast];
            l += w[j] * s[0];
            r += w[j] * s[1];
        }
    } else {
        for (; j < kBefore; ++j) {
            const std::uint32_t back = static_cast<std::uint32_t>(kBefore - j);
            float sl = 0.0f, sr = 0.0f;
            if (back <= b.pastFrames) {
                const float* s =
                    b.past[(b.pastNext + BufferState::kPast - back) % BufferState::kPast];
                sl = s[0], sr = s[1];
            } else if (b.frame >= back) {
                FrameAt(data, align, bits, channels, b.frame - back, &sl, &sr);
            } else {
                continue;  // before the start: silence
            }
            l += w[j] * sl;
            r += w[j] * sr;
        }
    }
    const std::uint64_t ahead = static_cast<std::uint64_t>(b.frame) + (kTaps - kBefore);
    if (ahead <= total) {
        const BYTE* p = data + static_cast<std::size_t>(b.frame) * align;
        if (bits == 16 && channels == 2) {
            for (; j < kTaps; ++j, p += 4) {
                std::int16_t s[2];
                std::memcpy(s, p, 4);
                l += w[j] * s[0];
                r += w[j] * s[1];
            }
        } else if (bits == 16) {
            for (; j < kTaps; ++j, p += 2) {
                std::int16_t s;
                std::memcpy(&s, p, 2);
                l += w[j] * s;
            }
            r = l;
        } else {
            for (; j < kTaps; ++j, p += align) {
                const float sl = SampleAt(p, bits);
                l += w[j] * sl;
                r += w[j] * (channels == 2 ? SampleAt(p + bits / 8, bits) : sl);
            }
        }
    } else {
        for (; j < kTaps; ++j) {
            std::uint64_t i = static_cast<std::uint64_t>(b.frame) + (j - kBefore);
            if (i >= total) {
                if (!b.looping) continue;
                i %= total;
            }
            float sl, sr;
            FrameAt(data, align, bits, channels, static_cast<std::size_t>(i), &sl, &sr);
            l += w[j] * sl;
            r += w[j] * sr;
        }
    }
    *left = l;
    *right = channels == 2 ? r : l;
}

// Keeps the frame under the cursor as played, before the cursor moves on.
inline void KeepPast(BufferState& b, const BYTE* data, int bits, int channels) {
    float* s = b.past[b.pastNext];
    FrameAt(data, b.format.nBlockAlign, bits, channels, b.frame, &s[0], &s[1]);
    b.pastNext = (b.pastNext + 1) % BufferState::kPast;
    if (b.pastFrames < BufferState::kPast) ++b.pastFrames;
}

void MixBuffer(BufferState& b, const Listener& l, std::int32_t* acc, int frames) {
    const std::uint32_t total = b.Frames();
    if (total == 0) {
        b.playing = false;
        return;
    }
    float gl, gr;
    Gains(b, l, &gl, &gr);
    const BYTE* data = b.data->data();
    const int bits = b.format.wBitsPerSample;
    const int channels = b.format.nChannels;
    const int bytesPerSample = bits / 8;
    const std::uint32_t align = b.format.nBlockAlign;
    const std::uint64_t rate = b.frequency ? b.frequency : b.format.nSamplesPerSec;
    const std::uint64_t step = (rate << 32) / static_cast<std::uint64_t>(platform::kMixRate);
    const bool notes = !b.notes.empty();
    const bool silent = gl == 0.0f && gr == 0.0f;
    for (int i = 0; i < frames; ++i) {
        if (!silent) {
            float sl, sr;
            if (b.frac) {
                Interpolate(b, data, total, bits, channels, &sl, &sr);
            } else {
                const BYTE* p0 = data + static_cast<std::size_t>(b.frame) * align;
                sl = SampleAt(p0, bits);
                sr = channels == 2 ? SampleAt(p0 + bytesPerSample, bits) : sl;
            }
            acc[2 * i] += static_cast<std::int32_t>(std::lrint(sl * gl));
            acc[2 * i + 1] += static_cast<std::int32_t>(std::lrint(sr * gr));
        }
        const std::uint64_t pos = static_cast<std::uint64_t>(b.frac) + step;
        b.frac = static_cast<std::uint32_t>(pos);
        for (std::uint64_t adv = pos >> 32; adv > 0; --adv) {
            if (notes) FireNotes(b, b.frame);
            KeepPast(b, data, bits, channels);
            if (++b.frame >= total) {
                b.frame = 0;
                if (!b.looping) {
                    // Played to its end: stopped and rewound.
                    b.playing = false;
                    b.frac = 0;
                    b.pastFrames = 0;
                    FireStop(b);
                    return;
                }
            }
        }
    }
}

}  // namespace

void FireStop(const BufferState& b) {
    for (const auto& n : b.notes)
        if (n.dwOffset == DSBPN_OFFSETSTOP) SetEvent(n.hEventNotify);
}

void MixBlock(std::int16_t* out, int frames) {
    Mixer& m = TheMixer();
    std::lock_guard<std::mutex> g(m.lock);
    m.accumulator.assign(static_cast<std::size_t>(frames) * 2, 0);
    for (BufferState* b : m.buffers)
        if (b->playing && !b->lost && !b->primary && !m.paused)
            MixBuffer(*b, m.listener, m.accumulator.data(), frames);
    for (std::size_t i = 0; i < m.accumulator.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(m.accumulator[i], -32768, 32767));
    if (m.tap) m.tap(out, frames);
}

bool ValidPcm(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
           f.nSamplesPerSec >= DSBFREQUENCY_MIN && f.nSamplesPerSec <= DSBFREQUENCY_MAX &&
           f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

void Register(BufferState* s) {
    auto& m = TheMixer();
    std::lock_guard<std::mutex> g(m.lock);
    m.buffers.push_back(s);
}

// A buffer that outlives its context is in no mixer.
void Unregister(BufferState* s) {
    auto* a = detail::ExistingState<AudioState>(&detail::Context::audio);
    if (!a) return;
    auto& m = a->mixer;
    std::lock_guard<std::mutex> g(m.lock);
    m.buffers.erase(std::remove(m.buffers.begin(), m.buffers.end(), s), m.buffers.end());
}

// A real-time device when the audio driver opens one (headless runs install
// none); otherwise the mixer steps 735 frames (1/60 s) per presented frame,
// so a run's audio is as reproducible as its pictures.
void StartOutput() {
    AudioState& a = Audio();
    if (a.deviceOpen) return;
    const AudioDriver* driver = InstalledDrivers().audio;
    if (!a.clockDriven && driver && driver->open && driver->open(&MixBlock)) {
        a.deviceOpen = true;
        return;
    }
    a.clockDriven = true;
    if (a.stepping) return;
    a.stepping = true;
    AddPresentListener(
        [](std::int64_t, const PresentedImage&) { AdvanceAudio(kMixFramesPerVideoFrame); });
}

}  // namespace platform::audio

namespace platform {

void SetMixTap(MixTap tap) {
    auto& m = audio::TheMixer();
    {
        std::lock_guard<std::mutex> g(m.lock);
        m.tap = std::move(tap);
    }
}

void AdvanceAudio(int frames) {
    if (!Audio().clockDriven || frames <= 0) return;
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
    audio::MixBlock(out.data(), frames);
}

bool AudioIsClockDriven() { return Audio().clockDriven; }

void UseClockDrivenAudio() {
    detail::StopAudioOutput();
    Audio().clockDriven = true;
}

void PauseSound(bool paused) {
    audio::Mixer& m = audio::TheMixer();
    std::lock_guard<std::mutex> g(m.lock);
    m.paused = paused;
}

}  // namespace platform

namespace platform::detail {

void StopAudioOutput() {
    auto* a = detail::ExistingState<AudioState>(&detail::Context::audio);
    if (!a || !a->deviceOpen) return;
    const AudioDriver* driver = InstalledDrivers().audio;
    if (driver && driver->close) driver->close();
    a->deviceOpen = false;
}

}  // namespace platform::detail
