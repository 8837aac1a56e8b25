// What the mesh loader driver hands the mesh functions: one mesh as plain
// data (platform/driver.h's MeshLoader fills it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/types.h"

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
    // The material (subset) of each triangle: an index into `materials`, or
    // 0 when there are none.
    std::vector<std::uint32_t> faceMaterial;
    // The entries of the file's material lists in order, used or not (a
    // material named again by reference is not repeated); none for a file
    // without materials.
    std::vector<XMeshMaterial> materials;
};
