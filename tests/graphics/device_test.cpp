// The software device's 2D half: blending, the row kernels, StretchRect.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "platform/core/d3dx9.h"
#include "platform/soft/blend.h"

namespace {

std::unique_ptr<IDirect3DDevice9> MakeDevice(UINT w = 64, UINT h = 32) {
    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = w;
    pp.BackBufferHeight = h;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    return std::make_unique<IDirect3DDevice9>(pp);
}

TEST(SpriteBatch, HalfTransparentTexelBlendsOntoKnownColour) {
    auto device = MakeDevice();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
    IDirect3DTexture9 tex(3, 1, D3DFMT_A8R8G8B8);
    tex.Texels()[0] = 0x80FF8000;  // alpha 128
    tex.Texels()[1] = 0x00FFFFFF;  // transparent
    tex.Texels()[2] = 0xFF0A0B0C;  // opaque
    ID3DXSprite sprite(device.get());
    sprite.Begin(D3DXSPRITE_ALPHABLEND);
    const D3DXVECTOR3 at(1, 2, 0);
    EXPECT_EQ(sprite.Draw(&tex, nullptr, nullptr, &at, 0xFFFFFFFF), D3D_OK);
    sprite.End();
    const std::uint32_t* px = device->BackBufferSurface()->Pixels();
    // round((s * 128 + d * 127) / 255): 0xFF,0x20 -> 0x90; 0x80,0x40 -> 0x60; 0x00,0x60 -> 0x30
    EXPECT_EQ(px[2 * 64 + 1], 0xFF906030u);
    EXPECT_EQ(px[2 * 64 + 2], 0xFF204060u);
    EXPECT_EQ(px[2 * 64 + 3], 0xFF0A0B0Cu);
}

TEST(SpriteBatch, SourceRectangleAndNonBlendedDraw) {
    auto device = MakeDevice();
    IDirect3DTexture9 tex(4, 4, D3DFMT_A8R8G8B8);
    for (int i = 0; i < 16; ++i) tex.Texels()[i] = static_cast<std::uint32_t>(i);  // alpha 0
    ID3DXSprite sprite(device.get());
    EXPECT_NE(sprite.Draw(&tex, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3D_OK);  // not begun
    sprite.Begin(0);  // no blending: texels land opaque
    const RECT cell{2, 1, 4, 3};
    const D3DXVECTOR3 at(10, 10, 0);
    sprite.Draw(&tex, &cell, nullptr, &at, 0xFFFFFFFF);
    // A rectangle reaching past the texture reads only what lies inside it.
    const RECT wide{3, 3, 100, 100};
    const D3DXVECTOR3 at2(20, 20, 0);
    sprite.Draw(&tex, &wide, nullptr, &at2, 0xFFFFFFFF);
    sprite.End();
    const std::uint32_t* px = device->BackBufferSurface()->Pixels();
    EXPECT_EQ(px[10 * 64 + 10], 0xFF000006u);
    EXPECT_EQ(px[11 * 64 + 11], 0xFF00000Bu);
    EXPECT_EQ(px[10 * 64 + 12], 0xFF000000u);
    EXPECT_EQ(px[20 * 64 + 20], 0xFF00000Fu);
    EXPECT_EQ(px[21 * 64 + 21], 0xFF000000u);
}

// Every kernel the machine runs gives exactly the scalar result, over every
// (texel, pixel, alpha) channel combination and over rows of every length.
TEST(BlendKernels, MatchScalarExactly) {
    using platform::soft::RowKernel;
    std::vector<RowKernel> kernels;
    if (auto k = platform::soft::BlendRowSse2()) kernels.push_back(k);
    if (auto k = platform::soft::BlendRowAvx2()) kernels.push_back(k);
    if (auto k = platform::soft::BlendRowAvx512()) kernels.push_back(k);
    if (kernels.empty()) GTEST_SKIP() << "no vector kernels on this machine";
    // Exhaustive per channel: texel value s in the red byte, pixel value d.
    std::vector<std::uint32_t> src, dst;
    for (std::uint32_t a = 0; a < 256; ++a)
        for (std::uint32_t s = 0; s < 256; s += 3)
            for (std::uint32_t d = 0; d < 256; d += 5) {
                src.push_back(a << 24 | s << 16 | (255 - s) << 8 | d);
                dst.push_back(0xFF000000u | d << 16 | s << 8 | (255 - d));
            }
    std::vector<std::uint32_t> want = dst;
    // As rows of 13: a tail in every row.
    const int n = static_cast<int>(src.size());
    platform::soft::BlendRowScalar(want.data(), 0, src.data(), 0, n, 1);
    for (RowKernel k : kernels) {
        std::vector<std::uint32_t> got = dst;
        k(got.data(), 13, src.data(), 13, 13, n / 13);
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + n / 13 * 13, want.begin()));
    }
    // Runs of equal alpha (the fast paths) mixed with partial ones, odd lengths.
    std::mt19937 rng(7);
    for (int n = 0; n < 40; ++n) {
        std::vector<std::uint32_t> s(n), d(n);
        for (int i = 0; i < n; ++i) {
            const std::uint32_t pick = rng() % 3;
            const std::uint32_t a = pick == 0 ? 0 : pick == 1 ? 255 : rng() % 256;
            s[i] = a << 24 | (rng() & 0xFFFFFF);
            d[i] = 0xFF000000u | (rng() & 0xFFFFFF);
        }
        std::vector<std::uint32_t> w = d;
        platform::soft::BlendRowScalar(w.data(), 0, s.data(), 0, n, 1);
        for (RowKernel k : kernels) {
            std::vector<std::uint32_t> g = d;
            k(g.data(), 0, s.data(), 0, n, 1);
            ASSERT_EQ(g, w) << "length " << n;
        }
    }
}

TEST(StretchRect, CopiesInsideAndRefusesOutside) {
    auto device = MakeDevice(16, 16);
    IDirect3DSurface9* src = nullptr;
    ASSERT_EQ(
        device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &src, nullptr),
        D3D_OK);
    for (int i = 0; i < 64; ++i) src->Pixels()[i] = 0xFF000000u | static_cast<std::uint32_t>(i);
    IDirect3DSurface9* bb = device->BackBufferSurface();
    const RECT s{2, 3, 6, 7}, d{10, 10, 14, 14};
    EXPECT_EQ(device->StretchRect(src, &s, bb, &d, D3DTEXF_NONE), D3D_OK);
    EXPECT_EQ(bb->Pixels()[10 * 16 + 10], 0xFF000000u | (3 * 8 + 2));
    EXPECT_EQ(bb->Pixels()[13 * 16 + 13], 0xFF000000u | (6 * 8 + 5));
    // Twice the size: point filtering repeats each source pixel.
    const RECT d2{0, 0, 8, 8};
    EXPECT_EQ(device->StretchRect(src, &s, bb, &d2, D3DTEXF_POINT), D3D_OK);
    EXPECT_EQ(bb->Pixels()[1 * 16 + 1], 0xFF000000u | (3 * 8 + 2));
    EXPECT_EQ(bb->Pixels()[2 * 16 + 2], 0xFF000000u | (4 * 8 + 3));
    // Source rectangles not inside the source: refused, nothing copied.
    const std::vector<std::uint32_t> before(bb->Pixels(), bb->Pixels() + 256);
    for (RECT bad : {RECT{-1, 0, 4, 4}, RECT{4, 4, 9, 8}, RECT{0, 5, 8, 9}, RECT{3, 3, 3, 5}}) {
        EXPECT_NE(device->StretchRect(src, &bad, bb, &d, D3DTEXF_NONE), D3D_OK);
    }
    EXPECT_EQ(std::vector<std::uint32_t>(bb->Pixels(), bb->Pixels() + 256), before);
    src->Release();
}

TEST(StretchRect, OverlappingCopyWithinOneSurface) {
    auto device = MakeDevice(8, 8);
    IDirect3DSurface9* bb = device->BackBufferSurface();
    for (int i = 0; i < 64; ++i) bb->Pixels()[i] = static_cast<std::uint32_t>(i);
    const RECT s{0, 0, 6, 6}, d{1, 1, 7, 7};  // one pixel down and right
    EXPECT_EQ(device->StretchRect(bb, &s, bb, &d, D3DTEXF_NONE), D3D_OK);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(bb->Pixels()[(y + 1) * 8 + x + 1], static_cast<std::uint32_t>(y * 8 + x));
    const RECT half{0, 0, 4, 4}, whole{0, 0, 8, 8};  // scaled up onto itself
    EXPECT_EQ(device->StretchRect(bb, &half, bb, &whole, D3DTEXF_POINT), D3D_OK);
    EXPECT_EQ(bb->Pixels()[7 * 8 + 7], static_cast<std::uint32_t>(2 * 8 + 2));  // was (3,3)
}

}  // namespace
