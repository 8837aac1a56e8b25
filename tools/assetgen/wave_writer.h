// Writing the generated sounds: 16-bit mono PCM RIFF WAVE files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Scales the samples so that the loudest reaches `peakDbfs` and rounds them to 16 bits.
std::vector<std::int16_t> ToPcm16(const std::vector<float>& samples, float peakDbfs);

bool WriteMonoWave(const std::string& path, const std::vector<std::int16_t>& samples, int rate,
                   std::string* error);

}  // namespace assetgen
