// A look over an X file's tokens before Assimp reads it. Assimp's X reader
// sizes its arrays from counts in the file before reading what they count,
// takes a mesh's material list as consistent, stores a skin weight at the
// vertex it names and a frame's name in 1024 bytes unchecked, recurses once
// per nested frame and triangulates a face in time growing with the square of
// its indices; a damaged or hostile file makes it ask for gigabytes, read and
// write outside its arrays, run out of stack or work for minutes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::assimp {

// Braces may nest this deep (a skeleton of frames nests one level a bone).
constexpr int kMaxXNesting = 128;
// One face may have this many indices.
constexpr int kMaxXFaceIndices = 64;
// The meshes of a file may have this many triangles in all (a face of k
// indices makes k - 2, a point or a line counts as one); their normals'
// faces the same.
constexpr std::size_t kMaxXTriangles = 500000;
// Assimp turns a mesh's skin weights into bones once for each material the
// mesh's faces use, going over all the mesh's vertices and face indices each
// time: over the meshes, bones x (materials x vertices + 2 x face indices)
// may be this much in all (some 32 MB of arrays Assimp fills and frees).
constexpr double kMaxXSkinWork = 8 << 20;

// Why these bytes (a whole X file, header included) must not be read, or
// nullptr when every count fits in the bytes after it, every face material
// names one of the materials its list gives, every skin weight is for a
// vertex of its mesh and the limits above hold. A binary file's counts are
// taken as Assimp reads them, which need not be the lists the file holds.
const char* XFileFault(const std::uint8_t* bytes, std::size_t size);

// One entry of a mesh's material list: a material of its own or a
// reference by name ({Name}) to one given before.
struct XMaterialEntry {
    bool reference = false;
    bool named = false;  // an own material with a name in the file
    std::string name;
};

struct XMeshLayout {
    // The mesh's material lists' entries in order, and how many faces use each.
    std::vector<XMaterialEntry> entries;
    std::vector<std::uint32_t> faceCounts;
    std::uint32_t faces = 0;
    bool hasFaceMaterials = false;
};

// What of a file's materials and meshes Assimp's X reader takes in, in the
// order it converts them: the materials outside any mesh, then the meshes
// (frames depth first, a frame's meshes before its child frames; meshes
// outside any frame last). Only for bytes XFileFault passed.
struct XFileLayout {
    std::vector<XMaterialEntry> globals;
    std::vector<XMeshLayout> meshes;
};
XFileLayout XMaterialLayout(const std::uint8_t* bytes, std::size_t size);

}  // namespace platform::assimp
