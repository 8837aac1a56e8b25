// The desktop icon: the gallery's bunny under its crosshair.
#pragma once

#include <string>

#include "tools/assetgen/canvas.h"

namespace assetgen {

// Writes a 96 x 96 PNG, transparent where neither image draws.
bool WriteIcon(const Canvas& bunny, const Canvas& crosshair, const std::string& path,
               std::string* error);

}  // namespace assetgen
