// Loading X files (subsets, materials, texture names, positions and winding
// exactly as the file stores them, clean failures) and the mesh model's
// fallbacks and messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/entity_dump.h"
#include "entities/base_model.h"
#include "platform/core/d3dx9mesh.h"
#include "support/driver_spy.h"
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

// Runs in a "play" folder inside the test's own folder, its parent.
class XLoaderTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        std::filesystem::create_directories(std::filesystem::path(folder_.dir()) / "play");
        std::filesystem::current_path(std::filesystem::path(folder_.dir()) / "play");
    }
    HRESULT Load(const char* name) {
        return D3DXLoadMeshFromXA(name, D3DXMESH_SYSTEMMEM, engine->renderer->device, nullptr,
                                  &buffer, nullptr, &count, &mesh);
    }
    ID3DXBuffer* buffer = nullptr;
    DWORD count = 0;
    ID3DXMesh* mesh = nullptr;
    DriverSpy spy_;
};

TEST_F(XLoaderTest, TextFileKeepsMaterialsPositionsAndWinding) {
    WriteFile("Thing.x", kMeshText);
    // Name resolution as for images: any letter case, backslash separators.
    ASSERT_EQ(Load(".\\thing.X"), D3D_OK);
    ASSERT_EQ(count, 3u);
    const auto* m = static_cast<const D3DXMATERIAL*>(buffer->GetBufferPointer());
    const D3DMATERIAL9& skin = m[0].MatD3D;
    EXPECT_TRUE(skin.Diffuse.a == 0.75f && skin.Power == 8.0f && skin.Emissive.g == 0.5f);
    EXPECT_FLOAT_EQ(skin.Specular.b, 0.3f);
    EXPECT_STREQ(m[0].pTextureFilename, "Sub\\Skin.BMP");
    EXPECT_TRUE(m[2].MatD3D.Power == 16.0f && m[2].pTextureFilename == nullptr);
    // Each face, as positions after the frame transform, in the file's order.
    std::vector<float> got;
    for (std::uint32_t i : mesh->Indices()) {
        const MeshVertex& c = mesh->Vertices()[i];
        got.insert(got.end(), {c.x, c.y, c.z, c.u, c.v});
    }
    EXPECT_EQ(got,
              (std::vector<float>{10, 20, 30, 0, 0, 10, 22, 30, 0, 1, 12, 20, 30, 1,     0,
                                  12, 20, 30, 1, 0, 10, 22, 30, 0, 1, 12, 22, 32, 0.25f, 0.75f}));
    EXPECT_TRUE(mesh->Attributes()[0] == 0 && mesh->Attributes()[1] == 2);
}

TEST_F(XLoaderTest, BrokenFileFailsAndAModelWithoutMeshOrTextureShowsOneMessageEach) {
    WriteFile("cut.x", std::string(kMeshText).substr(0, 300));
    EXPECT_LT(Load("cut.x"), 0);
    EXPECT_TRUE(mesh == nullptr && buffer == nullptr);
    EXPECT_EQ((new BaseModel("tiger.x"))->mesh, nullptr);
    EXPECT_EQ(DriverSpy::boxes, 1);
    EXPECT_EQ(DriverSpy::lastBox, "Meshes.exe: Could not find tiger.x");
    WriteFile("thing.x", kMeshText);
    auto* model = new BaseModel("thing.x");
    EXPECT_EQ(DriverSpy::boxes, 2);
    EXPECT_EQ(DriverSpy::lastBox, "Meshes.exe: Could not find texture map");
    ASSERT_EQ(model->materialCount, 3u);
    Draw();  // untextured, without a fault
}

TEST_F(XLoaderTest, ModelFallsBackToTheParentFolderAndIsPlacedByItsSetters) {
    // "..\Tiger.x" finds the parent's tiger.x whatever name was asked for,
    // "..\" + the texture name the parent's texture. Mesh textures have no
    // colour key: magenta stays.
    WriteFile("../tiger.x", kMeshText);
    std::filesystem::create_directories("../Sub");
    ASSERT_TRUE(testbmp::WriteSolid("../Sub/skin.bmp", 4, 4, 0xFFFF00FF));
    auto* model = new BaseModel("other.x");
    EXPECT_EQ(DriverSpy::boxes, 0) << DriverSpy::lastBox;
    ASSERT_NE(model->textures[0], nullptr);
    EXPECT_EQ(model->textures[0]->Texels()[0], 0xFFFF00FFu);

    // The three-value setters fill x, y, z in order; the rotation's are the
    // yaw, pitch and roll, which the dump lists in that order.
    model->SetPosition(1, 2, 3);
    model->SetRotation(0.5f, 0.25f, 0.125f);
    DumpRecord record;
    model->Dump(&record);
    const std::string json = record.Json();
    EXPECT_NE(json.find(R"("x":1,"y":2,"z":3,)"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("rot":[0.5,0.25,0.125])"), std::string::npos) << json;
}

}  // namespace
