// Bitmap loading: formats, orientation, the colour key, 32-bit alpha, names.
#include "platform/core/image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/d3d9.h"
#include "support/bmp_writer.h"
#include "support/engine_fixture.h"

namespace {

namespace fs = std::filesystem;

class ImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        D3DPRESENT_PARAMETERS pp;
        pp.BackBufferWidth = 64;
        pp.BackBufferHeight = 64;
        device_ = std::make_unique<IDirect3DDevice9>(pp);
    }

    // Loads a texture with the magenta colour key; empty on failure.
    std::vector<std::uint32_t> Load(const char* name, D3DXIMAGE_INFO* info = nullptr) {
        IDirect3DTexture9* t = nullptr;
        D3DXIMAGE_INFO local;
        if (D3DXCreateTextureFromFileExA(device_.get(), name, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                         D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT,
                                         D3DX_DEFAULT, 0xFFFF00FF, info ? info : &local, nullptr,
                                         &t) != D3D_OK)
            return {};
        std::vector<std::uint32_t> px(t->Texels(), t->Texels() + t->Width() * t->Height());
        t->Release();
        return px;
    }

    std::unique_ptr<IDirect3DDevice9> device_;
    WorkIn folder_;
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

TEST_F(ImageTest, OpaqueMagentaAloneBecomesTransparentBlack) {
    ASSERT_TRUE(testbmp::Write("key.bmp", 3, 1, {0xFFFF00FF, 0xFFFE00FF, 0xFFFF01FF}));
    EXPECT_EQ(Load("key.bmp"), (std::vector<std::uint32_t>{0, 0xFFFE00FF, 0xFFFF01FF}));
    // A paletted file keys the same way.
    ASSERT_TRUE(testbmp::Write("key8.bmp", 2, 1, {0xFFFF00FF, 0xFF123456}, {8, false, false}));
    EXPECT_EQ(Load("key8.bmp"), (std::vector<std::uint32_t>{0, 0xFF123456}));
}

TEST_F(ImageTest, ThirtyTwoBitAlphaOnlyWithAnAlphaMask) {
    const std::vector<std::uint32_t> px = {0x00112233, 0x80445566, 0x12FF00FF};
    ASSERT_TRUE(testbmp::Write("noalpha.bmp", 3, 1, px, {32, false, false}));
    EXPECT_EQ(Load("noalpha.bmp"),
              (std::vector<std::uint32_t>{0xFF112233, 0xFF445566, 0x00000000}));
    ASSERT_TRUE(testbmp::Write("alpha.bmp", 3, 1, px, {32, false, true}));
    D3DXIMAGE_INFO info;
    EXPECT_EQ(Load("alpha.bmp", &info),
              (std::vector<std::uint32_t>{0x00112233, 0x80445566, 0x12FF00FF}));
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
}

TEST_F(ImageTest, NamesIgnoreCaseAndTakeBackslashes) {
    fs::create_directories("Sub");
    ASSERT_TRUE(testbmp::WriteSolid("Sub/Flower.BMP", 2, 2, 0xFF00FF00));
    D3DXIMAGE_INFO info;
    EXPECT_EQ(D3DXGetImageInfoFromFileA("sub\\flower.bmp", &info), D3D_OK);
    EXPECT_NE(D3DXGetImageInfoFromFileA("sub/flowers.bmp", &info), D3D_OK);
    EXPECT_NE(D3DXGetImageInfoFromFileA(nullptr, &info), D3D_OK);
    // The exact name wins over a case variant.
    ASSERT_TRUE(testbmp::WriteSolid("a.bmp", 1, 1, 0xFF000011));
    ASSERT_TRUE(testbmp::WriteSolid("A.bmp", 1, 1, 0xFF000022));
    EXPECT_EQ(Load("A.bmp"), std::vector<std::uint32_t>{0xFF000022});
    EXPECT_EQ(Load("a.bmp"), std::vector<std::uint32_t>{0xFF000011});
}

TEST_F(ImageTest, BrokenFilesFailCleanly) {
    D3DXIMAGE_INFO info;
    { std::ofstream("short.bmp") << "BM"; }
    EXPECT_NE(D3DXGetImageInfoFromFileA("short.bmp", &info), D3D_OK);
    std::vector<std::uint32_t> px(16 * 16, 0xFF336699);
    ASSERT_TRUE(testbmp::Write("cut.bmp", 16, 16, px));
    fs::resize_file("cut.bmp", 80);  // header intact, pixels missing
    EXPECT_TRUE(Load("cut.bmp").empty());
    IDirect3DTexture9* t = reinterpret_cast<IDirect3DTexture9*>(1);
    EXPECT_NE(D3DXCreateTextureFromFileExA(nullptr, "short.bmp", 0, 0, 1, 0, D3DFMT_UNKNOWN,
                                           D3DPOOL_DEFAULT, 0, 0, 0, nullptr, nullptr, &t),
              D3D_OK);
    EXPECT_EQ(t, nullptr);
}

TEST_F(ImageTest, SurfaceLoadKeysBlackAndStaysOpaque) {
    ASSERT_TRUE(
        testbmp::Write("tiles.bmp", 2, 2, {0xFF000000, 0xFF0A0B0C, 0xFFFF00FF, 0xFF010101}));
    IDirect3DSurface9* s = nullptr;
    ASSERT_EQ(
        device_->CreateOffscreenPlainSurface(2, 2, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &s, nullptr),
        D3D_OK);
    ASSERT_EQ(D3DXLoadSurfaceFromFileA(s, nullptr, nullptr, "tiles.bmp", nullptr, D3DX_DEFAULT,
                                       0xFF000000, nullptr),
              D3D_OK);
    // Keyed black stays 0xFF000000: an X8 surface has no alpha to show it.
    EXPECT_EQ(std::vector<std::uint32_t>(s->Pixels(), s->Pixels() + 4),
              (std::vector<std::uint32_t>{0xFF000000, 0xFF0A0B0C, 0xFFFF00FF, 0xFF010101}));
    const RECT outside{1, 1, 3, 2};
    EXPECT_NE(D3DXLoadSurfaceFromFileA(s, nullptr, nullptr, "tiles.bmp", &outside, D3DX_DEFAULT, 0,
                                       nullptr),
              D3D_OK);
    s->Release();
}

}  // namespace
