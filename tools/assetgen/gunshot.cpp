// The gunshot: a sharp click, a burst of bright noise (the crack), a falling
// low tone with dark noise (the thump), and a decaying rumble.
#include "tools/assetgen/gunshot.h"

#include <algorithm>
#include <cmath>

#include "sound/riff_wave.h"
#include "tools/assetgen/canvas.h"
#include "tools/assetgen/wave_writer.h"

namespace assetgen {

std::vector<std::int16_t> MakeGunshotSamples() {
    const int n = kGunshotRate / 2;  // 0.5 s
    const float rate = static_cast<float>(kGunshotRate);
    std::vector<float> s(static_cast<std::size_t>(n));
    Rng rng(4242);
    float low1 = 0.0f, low2 = 0.0f, prevNoise = 0.0f, phase = 0.0f;
    for (int i = 0; i < n; ++i) {
        const float t = i / rate;
        const float white = rng.Range(-1.0f, 1.0f);
        const float bright = white - prevNoise;  // first difference: a hiss without body
        prevNoise = white;
        low1 += 0.08f * (white - low1);  // two one-pole low-passes: a rumble
        low2 += 0.08f * (low1 - low2);
        const float attack = std::min(1.0f, t / 0.0006f);
        const float crack = 0.9f * bright * std::exp(-t / 0.012f);
        // The thump's pitch falls from 140 Hz to about 45 Hz.
        const float freq = 45.0f + 95.0f * std::exp(-t / 0.03f);
        phase += 2.0f * 3.14159265f * freq / rate;
        const float thump = 1.1f * std::sin(phase) * std::exp(-t / 0.07f);
        const float body = 5.0f * low2 * std::exp(-t / 0.05f);
        const float rumble = 3.0f * low2 * std::exp(-t / 0.16f);
        const float fadeOut = std::min(1.0f, (0.5f - t) / 0.05f);  // ends exactly at silence
        s[static_cast<std::size_t>(i)] = attack * (crack + thump + body + rumble) * fadeOut;
    }
    return ToPcm16(s, -1.0f);  // -1 dBFS
}

bool WriteGunshot(const std::string& path, std::string* error) {
    return WriteMonoWave(path, MakeGunshotSamples(), kGunshotRate, error);
}

}  // namespace assetgen
