// Damaged and foreign mesh files fail to load instead of stopping the game.
#include <gtest/gtest.h>

#include <string>

#include "platform/assimp/assimp_driver.h"
#include "platform/core/x_mesh_data.h"
#include "support/run_process.h"

namespace {

TEST(XMeshFiles, OnlySoundXFilesLoad) {
    const std::string dir = MakeTempDir("xmesh");
    const std::string head = "xof 0303txt 0032\nMesh {\n3; 0;0;0;, 1;0;0;, 0;1;0;;\n";
    struct Case {
        const char* name;
        std::string text;
        bool loads;
    };
    const Case cases[] = {
        {"good", head + "1; 3;0,1,2;;\n}\n", true},
        // A face of no indices: Assimp's triangulation stops the program on it.
        {"faceless", head + "2; 3;0,1,2;, 0;;\n}\n", false},
        {"short", "xof 0303txt", false},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.name + ".x";
        WriteFile(path, c.text);
        XMeshData mesh;
        const HRESULT hr = platform::assimp::kMeshLoader.load(path.c_str(), &mesh);
        EXPECT_EQ(SUCCEEDED(hr), c.loads) << c.name;
        EXPECT_EQ(mesh.indices.size(), c.loads ? 3u : 0u) << c.name;
    }
    XMeshData mesh;
    EXPECT_TRUE(FAILED(platform::assimp::kMeshLoader.load((dir + "/none.x").c_str(), &mesh)));
}

}  // namespace
