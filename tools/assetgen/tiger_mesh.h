// The tiger: a low-poly mesh written as a text X file, with a striped skin.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assetgen/canvas.h"

namespace assetgen {

// The texture file that the tiger's skin material names.
inline constexpr const char* kTigerTextureName = "tiger.bmp";

// The complete "tiger.x" file.
std::vector<std::uint8_t> MakeTigerX();

// A flat-shaded orthographic picture of the mesh wearing `skin`, seen from
// above (as the tiger level's camera sees it) or from its side.
Canvas RenderTigerPreview(const Canvas& skin, bool fromAbove, int size);

}  // namespace assetgen
