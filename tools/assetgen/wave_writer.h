// The generated sounds' samples as 16-bit PCM (the engine's WriteMonoWave
// writes them).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Scales the samples so that the loudest reaches `peakDbfs` and rounds them to 16 bits.
std::vector<std::int16_t> ToPcm16(const std::vector<float>& samples, float peakDbfs);

}  // namespace assetgen
