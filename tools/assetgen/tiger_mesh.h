// The tiger: a low-poly mesh written as a text X file, with a striped skin.
#pragma once

#include <cstdint>
#include <vector>

namespace assetgen {

// The texture file that the tiger's skin material names.
inline constexpr const char* kTigerTextureName = "tiger.bmp";

// The complete "tiger.x" file.
std::vector<std::uint8_t> MakeTigerX();

}  // namespace assetgen
