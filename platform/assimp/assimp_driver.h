// The Assimp driver: the X-file mesh loader, text and binary X files read
// left-handed as the original platform reads them.
#pragma once

#include "platform/driver.h"

namespace platform::assimp {

extern const MeshLoader kMeshLoader;

}  // namespace platform::assimp
