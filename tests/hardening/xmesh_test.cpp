// Damaged and foreign mesh files fail to load instead of stopping the game.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/assimp/assimp_driver.h"
#include "platform/assimp/x_file_check.h"
#include "platform/core/x_mesh_data.h"
#include "support/run_process.h"

namespace {

using namespace std::string_literals;

// Each bad case is refused before Assimp reads it: the cases that crashed
// Assimp's X reader (null and out-of-bounds reads) or made it allocate
// gigabytes, cut down from what the fuzzer found.
TEST(XMeshFiles, OnlySoundXFilesLoad) {
    const std::string dir = MakeTempDir("xmesh");
    const std::string points = "xof 0303txt 0032\nMesh {\n3; 0;0;0;, 1;0;0;, 0;1;0;;\n";
    const std::string head = points + "1; 3;0,1,2;;\n";
    const std::string material = "Material { 1;1;1;1;; 1; 0;0;0;; 0;0;0;; }";
    struct Case {
        const char* name;
        std::string bytes;
        bool loads;
    };
    const Case cases[] = {
        {"good", head + "MeshMaterialList { 1; 1; 0;; " + material + " }\n}\n", true},
        {"faceless", points + "2; 3;0,1,2;, 0;;\n}\n", false},
        {"short", "xof 0303txt", false},
        {"no-material", head + "MeshMaterialList { 1; 1; 0;; }}", false},
        {"index-past-materials", head + "MeshMaterialList { 1; 1; 1;; " + material + " }}", false},
        {"two-material-lists",
         head + "MeshMaterialList { 1; 1; 0;; " + material + " } MeshMaterialList { 1; 1; 0;; " +
             material + " }}",
         false},
        {"normal-past-normals", head + "MeshNormals { 1; 0;0;1;; 1; 3;0,0,9;; }}", false},
        {"huge-count", "xof 0303txt 0032\nMesh { 99999999; 0;0;0;; }", false},
        // Assimp takes a NUL into a name: this is a mesh of -2 (4294967294) vertices.
        {"nul-in-name", "xof 0303txt 0032\nMesh a\0b { -2; }"s, false},
        {"huge-count-bin", "xof 0303bin 0032\1\0\4\0\0\0Mesh\x0a\0\3\0\xff\xff\xff\x0f"s, false},
        {"compressed", "xof 0303tzip0032\0\0\0\0"s, false},
        // A binary string whose length field ends the file: no room for its terminator.
        {"string-at-end-bin", "xof 0303bin 0032\2\0\0\0\0\0"s, false},
    };
    for (const Case& c : cases) {
        // Exactly the file's bytes, so that a read past them is caught.
        const std::vector<std::uint8_t> bytes(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(platform::assimp::XFileFault(bytes.data(), bytes.size()) == nullptr, c.loads)
            << c.name;
        const std::string path = dir + "/" + c.name + ".x";
        WriteFile(path, c.bytes);
        XMeshData mesh;
        const HRESULT hr = platform::assimp::kMeshLoader.load(path.c_str(), &mesh);
        EXPECT_EQ(SUCCEEDED(hr), c.loads) << c.name;
        EXPECT_EQ(mesh.indices.size(), c.loads ? 3u : 0u) << c.name;
    }
    XMeshData mesh;
    EXPECT_TRUE(FAILED(platform::assimp::kMeshLoader.load((dir + "/none.x").c_str(), &mesh)));
}

}  // namespace
