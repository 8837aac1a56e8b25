// Bitmap loading: formats, orientation, the colour key, 32-bit alpha, names.
// (Surface loads show in the tile map tests.)
#include "platform/core/image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/scene_fixture.h"

namespace {

namespace fs = std::filesystem;

class ImageTest : public SceneTest {
  protected:
    // Loads a texture with the magenta colour key; empty on failure.
    std::vector<std::uint32_t> Load(const char* name) {
        IDirect3DTexture9* t = nullptr;
        if (D3DXCreateTextureFromFileExA(engine->renderer->device, name, D3DX_DEFAULT, D3DX_DEFAULT,
                                         1, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT,
                                         D3DX_DEFAULT, 0xFFFF00FF, nullptr, nullptr, &t) != D3D_OK)
            return {};
        std::vector<std::uint32_t> px(t->Texels(), t->Texels() + t->Width() * t->Height());
        t->Release();
        return px;
    }
};

// Four colours in a 3 x 2 image, distinct rows, so orientation shows.
const std::vector<std::uint32_t> kImage = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                           0xFFFFFFFF, 0xFF000000, 0xFFFF0000};

TEST_F(ImageTest, EveryDepthAndOrientationReadsTheSamePixels) {
    for (int bits : {1, 4, 8, 24, 32})
        for (bool topDown : {false, true}) {
            std::vector<std::uint32_t> image = kImage;
            if (bits == 1)  // two colours only
                for (auto& p : image) p = (p == 0xFFFFFFFF) ? p : 0xFF000000;
            const std::string name = "img" + std::to_string(bits) + (topDown ? "t" : "b") + ".bmp";
            ASSERT_TRUE(testbmp::Write(name, 3, 2, image, {bits, topDown, false}));
            EXPECT_EQ(Load(name.c_str()), image) << name;
        }
}

// A run-length encoded 8-bit file: 4 x 2, bottom row first.
TEST_F(ImageTest, RunLengthEncodedEightBit) {
    const Bytes data = {4, 1, 0, 0,               // bottom: 4 x colour 1
                        2, 0, 2, 2, 0, 0, 0, 1};  // top: 0 0 2 2
    Bytes b;
    testbmp::PutHeaders(&b, 4, 2, 8, 1, static_cast<std::uint32_t>(data.size()), 3);  // BI_RLE8
    Put(&b, 0x000000FFu, 0x0000FF00u, 0x00FF00FFu);
    b.insert(b.end(), data.begin(), data.end());
    ASSERT_TRUE(WriteBytes("rle.bmp", b));
    EXPECT_EQ(Load("rle.bmp"), (std::vector<std::uint32_t>{0xFF0000FF, 0xFF0000FF, 0, 0, 0xFF00FF00,
                                                           0xFF00FF00, 0xFF00FF00, 0xFF00FF00}));
}

TEST_F(ImageTest, ColourKeyAndThirtyTwoBitAlphaOnlyWithAnAlphaMask) {
    // Without a mask: opaque, and opaque magenta alone becomes transparent black.
    const std::vector<std::uint32_t> px = {0x00112233, 0x80FE00FF, 0x12FF00FF};
    ASSERT_TRUE(testbmp::Write("noalpha.bmp", 3, 1, px, {32, false, false}));
    EXPECT_EQ(Load("noalpha.bmp"), (std::vector<std::uint32_t>{0xFF112233, 0xFFFE00FF, 0}));
    ASSERT_TRUE(testbmp::Write("alpha.bmp", 3, 1, px, {32, false, true}));
    EXPECT_EQ(Load("alpha.bmp"), px);
}

TEST_F(ImageTest, NamesIgnoreCaseAndTakeBackslashesButTheExactNameWins) {
    fs::create_directories("Sub");
    ASSERT_TRUE(testbmp::WriteSolid("Sub/Flower.BMP", 1, 1, 0xFF00FF00));
    ASSERT_TRUE(testbmp::WriteSolid("a.bmp", 1, 1, 0xFF000011));
    ASSERT_TRUE(testbmp::WriteSolid("A.bmp", 1, 1, 0xFF000022));
    EXPECT_EQ(Load("sub\\flower.bmp"), std::vector<std::uint32_t>{0xFF00FF00});
    EXPECT_TRUE(Load("sub/flowers.bmp").empty());
    EXPECT_EQ(Load("A.bmp"), std::vector<std::uint32_t>{0xFF000022});
    EXPECT_EQ(Load("a.bmp"), std::vector<std::uint32_t>{0xFF000011});
}

TEST_F(ImageTest, BrokenFilesFailCleanly) {
    { std::ofstream("short.bmp") << "BM"; }
    ASSERT_TRUE(testbmp::WriteSolid("cut.bmp", 16, 16, 0xFF336699));
    fs::resize_file("cut.bmp", 80);  // header intact, pixels missing
    for (const char* name : {"short.bmp", "cut.bmp"}) EXPECT_TRUE(Load(name).empty()) << name;
}

}  // namespace
