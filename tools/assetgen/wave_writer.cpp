#include "tools/assetgen/wave_writer.h"

#include <algorithm>
#include <cmath>

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

}  // namespace assetgen
