// The Assimp driver: the X-file mesh loader. Text and binary X files come out
// as they are stored: left-handed, V running down the texture, faces in the
// file's winding.
#pragma once

#include <cstddef>

#include "platform/driver.h"

namespace platform::assimp {

extern const MeshLoader kMeshLoader;

// Larger X files are refused unread.
constexpr std::size_t kMaxXFileBytes = 64u << 20;

// The loader's work on an X file already in memory: S_OK, or a failure code
// with `out` left empty (anything not starting with "xof " is refused).
HRESULT LoadXMeshMemory(const void* bytes, std::size_t size, XMeshData* out);

}  // namespace platform::assimp
