// Loading X files: subsets, materials, texture names, positions and winding
// exactly as the file stores them, and clean failures.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/d3dx9mesh.h"
#include "support/run_process.h"  // WriteFile
#include "support/scene_fixture.h"

namespace {

// Three materials: a textured one, an unused one, an untextured one. The
// frame scales by 2 and moves by (10, 20, 30); the second face uses the last
// material. Vertex 3 is used by no face.
const char* kMeshText = R"(xof 0302txt 0032
Frame Root {
 FrameTransformMatrix {
  2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 10.0,20.0,30.0,1.0;;
 }
 Mesh Thing {
  5; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;, 0.0;0.0;1.0;, 1.0;1.0;1.0;;
  2; 3;0,2,1;, 3;1,2,4;;
  MeshTextureCoords { 5; 0.0;0.0;, 1.0;0.0;, 0.0;1.0;, 0.5;0.5;, 0.25;0.75;; }
  MeshMaterialList {
   3; 2; 0, 2;;
   Material Skin {
    1.0;0.5;0.25;0.75;; 8.0; 0.1;0.2;0.3;; 0.4;0.5;0.6;;
    TextureFilename { "Sub\\Skin.BMP"; }
   }
   Material Unused { 0.0;1.0;0.0;1.0;; 2.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
   Material Dark { 0.1;0.2;0.3;1.0;; 16.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; }
  }
 }
}
)";

class XLoaderTest : public SceneTest {
  protected:
    HRESULT Load(const char* name) {
        return D3DXLoadMeshFromXA(name, D3DXMESH_SYSTEMMEM, engine->renderer->device, nullptr,
                                  &buffer, nullptr, &count, &mesh);
    }
    ID3DXBuffer* buffer = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = nullptr;
};

TEST_F(XLoaderTest, TextFileKeepsMaterialsPositionsAndWinding) {
    WriteFile("Thing.x", kMeshText);
    // Name resolution as for images: any letter case, backslash separators.
    ASSERT_EQ(Load(".\\thing.X"), D3D_OK);
    ASSERT_EQ(count, 3u);
    const auto* m = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
    const D3DMATERIAL9& skin = m[0].MatD3D;
    EXPECT_EQ(skin.Diffuse.g, 0.5f);
    EXPECT_EQ(skin.Diffuse.a, 0.75f);
    EXPECT_EQ(skin.Power, 8.0f);
    EXPECT_FLOAT_EQ(skin.Specular.b, 0.3f);
    EXPECT_FLOAT_EQ(skin.Emissive.r, 0.4f);
    ASSERT_NE(m[0].pTextureFilename, nullptr);
    EXPECT_STREQ(m[0].pTextureFilename, "Sub\\Skin.BMP");
    EXPECT_EQ(m[1].MatD3D.Diffuse.g, 1.0f);
    EXPECT_EQ(m[1].pTextureFilename, nullptr);
    EXPECT_FLOAT_EQ(m[2].MatD3D.Diffuse.b, 0.3f);
    EXPECT_EQ(m[2].pTextureFilename, nullptr);

    // Each face, as positions after the frame transform, in the file's order.
    ASSERT_EQ(mesh->GetNumFaces(), 2u);
    const float expected[6][5] = {{10, 20, 30, 0, 0}, {10, 22, 30, 0, 1},
                                  {12, 20, 30, 1, 0}, {12, 20, 30, 1, 0},
                                  {10, 22, 30, 0, 1}, {12, 22, 32, 0.25f, 0.75f}};
    for (int i = 0; i < 6; ++i) {
        const MeshVertex c = mesh->Vertices()[mesh->Indices()[i]];
        const float got[5] = {c.x, c.y, c.z, c.u, c.v};
        for (int k = 0; k < 5; ++k) EXPECT_FLOAT_EQ(got[k], expected[i][k]) << i << "," << k;
    }
    EXPECT_EQ(mesh->Attributes()[0], 0u);
    EXPECT_EQ(mesh->Attributes()[1], 2u);
}

TEST_F(XLoaderTest, BrokenOrMissingFilesFailWithACode) {
    const std::string text = kMeshText;
    WriteFile("cut.x", text.substr(0, text.size() / 2));
    WriteFile("junk.x", "xof 0302txt 0032\nMesh { 3; 1;2;");
    WriteFile("empty.x", "");
    for (const char* name : {"cut.x", "junk.x", "empty.x", "missing.x"}) {
        EXPECT_LT(Load(name), 0) << name;
        EXPECT_EQ(mesh, nullptr) << name;
        EXPECT_EQ(buffer, nullptr) << name;
    }
}

}  // namespace
