#include "tools/assetgen/wave_writer.h"

#include <algorithm>
#include <cmath>

#include "sound/riff_wave.h"

namespace assetgen {

std::vector<std::int16_t> ToPcm16(const std::vector<float>& samples, float peakDbfs) {
    float peak = 0.0f;
    for (float v : samples) peak = std::max(peak, std::fabs(v));
    const float target = 32767.0f * std::pow(10.0f, peakDbfs / 20.0f);
    std::vector<std::int16_t> out(samples.size());
    for (std::size_t i = 0; i < samples.size() && peak > 0.0f; ++i)
        out[i] = static_cast<std::int16_t>(std::lround(samples[i] / peak * target));
    return out;
}

bool WriteMonoWave(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
                   std::string* error) {
    std::vector<BYTE> bytes;
    bytes.reserve(samples.size() * 2);
    for (std::int16_t v : samples) {  // little-endian, whatever the host
        const auto u = static_cast<std::uint16_t>(v);
        bytes.push_back(static_cast<BYTE>(u & 0xFF));
        bytes.push_back(static_cast<BYTE>(u >> 8));
    }
    const auto r = static_cast<DWORD>(rate);
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, r, r * 2, 2, 16, 0};
    CRiffWave wave;
    UINT wrote = 0;
    bool ok = wave.Open(path.c_str(), &format, WAVEFILE_WRITE) == S_OK &&
              wave.Write(static_cast<UINT>(bytes.size()), bytes.data(), &wrote) == S_OK &&
              wrote == bytes.size();
    ok = wave.Close() == S_OK && ok;
    if (!ok && error) *error = "cannot write " + path;
    return ok;
}

}  // namespace assetgen
