// The mesh model: loading with its fallbacks and messages, and what it draws.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/renderer.h"
#include "entities/base_model.h"
#include "platform/core/debug.h"
#include "platform/testing/test_hooks.h"
#include "support/run_process.h"
#include "support/scene_fixture.h"

namespace {

// A triangle on the ground round the origin, both sides, with one textured
// material of diffuse (0.2, 0.4, 0.6).
const char* kGroundTriangle = R"(xof 0302txt 0032
Mesh Ground {
 3; -4.0;0.0;-4.0;, 4.0;0.0;-4.0;, 0.0;0.0;4.0;;
 2; 3;0,1,2;, 3;0,2,1;;
 MeshTextureCoords { 3; 0.1;0.1;, 0.9;0.1;, 0.5;0.9;; }
 MeshMaterialList {
  1; 2; 0, 0;;
  Material Skin {
   0.2;0.4;0.6;1.0;; 4.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;;
   TextureFilename { "skin.bmp"; }
  }
 }
}
)";

// Runs in a "play" folder inside the test's own, so that the parent folder is the test's own.
class ModelTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        std::filesystem::create_directories(std::filesystem::path(folder_.dir()) / "play");
        std::filesystem::current_path(std::filesystem::path(folder_.dir()) / "play");
        platform::ClearMessageBoxesForTest();
    }
    // The colour drawn under the camera, at the origin.
    std::uint32_t Centre() {
        Draw();
        return Pixel(512, 384);
    }
};

TEST_F(ModelTest, MissingMeshShowsOneMessageAndDrawsNothing) {
    auto* model = new BaseModel("tiger.x");
    EXPECT_EQ(platform::MessageBoxCountForTest(), 1);
    EXPECT_STREQ(platform::LastMessageBoxForTest(), "Meshes.exe: Could not find tiger.x");
    EXPECT_EQ(model->mesh, nullptr);
    EXPECT_EQ(Centre(), 0xFF000000u);
}

TEST_F(ModelTest, MeshAndTextureFallBackToTheParentFolder) {
    // "..\Tiger.x" finds the parent's tiger.x whatever name was asked for;
    // "..\" + the texture name finds the parent's skin.bmp. Magenta stays:
    // mesh textures have no colour key.
    WriteFile("../tiger.x", kGroundTriangle);
    ASSERT_TRUE(testbmp::WriteSolid("../skin.bmp", 4, 4, 0xFFFF00FF));
    auto* model = new BaseModel("other.x");
    EXPECT_EQ(platform::MessageBoxCountForTest(), 0) << platform::LastMessageBoxForTest();
    ASSERT_EQ(model->materialCount, 1u);
    ASSERT_NE(model->textures[0], nullptr);
    // Ambient is the diffuse colour, lit by white ambient light, modulating
    // magenta: (51, 0, 153).
    EXPECT_EQ(Centre(), 0xFF330099u);
}

TEST_F(ModelTest, MissingTextureDrawsTheMaterialUntexturedAfterOneMessage) {
    WriteFile("ground.x", kGroundTriangle);
    auto* model = new BaseModel("ground.x");
    EXPECT_EQ(platform::MessageBoxCountForTest(), 1);
    EXPECT_STREQ(platform::LastMessageBoxForTest(), "Meshes.exe: Could not find texture map");
    ASSERT_EQ(model->materialCount, 1u);
    EXPECT_EQ(Centre(), 0xFF336699u);
}

}  // namespace
