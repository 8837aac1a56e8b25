#include "tools/assetgen/breakout_sounds.h"

#include <algorithm>
#include <cmath>

#include "sound/riff_wave.h"
#include "tools/assetgen/wave_writer.h"

namespace assetgen {

namespace {

constexpr float kTwoPi = 6.28318531f;
constexpr float kRate = static_cast<float>(kBreakoutSoundRate);

// A 1 ms rise and a 10 ms fall to exact silence at the end, so that neither
// end clicks however the body is shaped.
float Edges(float t, float length) {
    return std::min(1.0f, t / 0.001f) * std::clamp((length - t) / 0.01f, 0.0f, 1.0f);
}

std::size_t Count(float seconds) { return static_cast<std::size_t>(seconds * kRate); }

}  // namespace

std::vector<std::int16_t> MakePaddleHitSamples() {
    // A round low knock: 300 Hz sliding to 220 Hz with a little second
    // harmonic, dying away in a few tens of milliseconds.
    const float length = 0.12f;
    std::vector<float> s(Count(length));
    float phase = 0.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / kRate;
        phase += kTwoPi * (220.0f + 80.0f * std::exp(-t / 0.02f)) / kRate;
        const float tone = std::sin(phase) + 0.3f * std::sin(2.0f * phase);
        s[i] = tone * std::exp(-t / 0.035f) * Edges(t, length);
    }
    return ToPcm16(s, -3.0f);
}

std::vector<std::int16_t> MakeBrickHitSamples() {
    // A bright, slightly bell-like tap: 1320 Hz with an inharmonic partial
    // that fades faster, and a short noise tick on the attack.
    const float length = 0.15f;
    std::vector<float> s(Count(length));
    std::uint32_t noise = 0x1234567u;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / kRate;
        noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;
        const float white = static_cast<float>(noise & 0xFFFF) / 32768.0f - 1.0f;
        const float tone = std::sin(kTwoPi * 1320.0f * t) * std::exp(-t / 0.04f) +
                           0.5f * std::sin(kTwoPi * 3640.0f * t) * std::exp(-t / 0.015f) +
                           0.4f * white * std::exp(-t / 0.003f);
        s[i] = tone * Edges(t, length);
    }
    return ToPcm16(s, -3.0f);
}

std::vector<std::int16_t> MakeLostBallSamples() {
    // A falling whine from 440 Hz down to 110 Hz, rounded square wave, with a
    // slow wobble, fading out.
    const float length = 0.6f;
    std::vector<float> s(Count(length));
    float phase = 0.0f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / kRate;
        const float freq = 440.0f * std::pow(0.25f, t / length);
        phase += kTwoPi * freq / kRate;
        const float tone =
            std::tanh(3.0f * std::sin(phase)) * (0.8f + 0.2f * std::sin(kTwoPi * 9.0f * t));
        s[i] = tone * (1.0f - 0.6f * t / length) * Edges(t, length);
    }
    return ToPcm16(s, -4.0f);
}

bool WriteBreakoutSounds(const std::string& folder, std::string* error) {
    return WriteMonoWave(folder + "/paddlehit.wav", MakePaddleHitSamples(), kBreakoutSoundRate,
                         error) &&
           WriteMonoWave(folder + "/brickhit.wav", MakeBrickHitSamples(), kBreakoutSoundRate,
                         error) &&
           WriteMonoWave(folder + "/lostball.wav", MakeLostBallSamples(), kBreakoutSoundRate,
                         error);
}

}  // namespace assetgen
