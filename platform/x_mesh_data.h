// What an X-file reader hands the mesh functions: one mesh as plain data.
// The reader lives in a driver folder; this header is the whole contract.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

struct XMeshVertex {
    float x, y, z;  // model space, as the file stores them (left-handed)
    float u, v;     // texture coordinates as stored (no flip)
};

struct XMeshMaterial {
    float diffuse[4] = {1, 1, 1, 1};  // r, g, b, a
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    float power = 0;
    bool hasTexture = false;
    std::string textureFile;  // as written in the file
};

struct XMeshData {
    std::vector<XMeshVertex> vertices;
    // Three indices per triangle, in the file's winding.
    std::vector<std::uint32_t> indices;
    // The material (subset) of each triangle.
    std::vector<std::uint32_t> faceMaterial;
    // Every material of the file in order, used or not.
    std::vector<XMeshMaterial> materials;
};

// Reads the X file at `path` (an existing file; name resolution is the
// caller's). Frame transforms are applied to the vertices. S_OK, or a failure
// code with `out` left empty when the file cannot be read or parsed.
HRESULT LoadXMeshFile(const char* path, XMeshData* out);
