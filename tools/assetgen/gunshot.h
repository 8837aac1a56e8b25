// The gunshot: 16-bit mono PCM at 22050 Hz, about half a second.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

inline constexpr int kGunshotRate = 22050;

// The samples of the shot, peaking at about -1 dBFS.
std::vector<std::int16_t> MakeGunshotSamples();

// Writes the shot as a RIFF WAVE file.
bool WriteGunshot(const std::string& path, std::string* error);

}  // namespace assetgen
