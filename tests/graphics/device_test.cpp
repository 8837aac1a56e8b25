// The software device's 2D half: blending, the row kernels, StretchRect.
// (Plain copies and sprite cells show in the gallery's end-to-end pictures.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "base/point_sample.h"
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

TEST(SpriteBatch, BlendsHalfTransparentTexelsAndReadsOnlyInsideTheTexture) {
    auto device = MakeDevice();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(device->CreateTexture(3, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr),
              D3D_OK);
    tex->Texels()[0] = 0x80FF8000;  // alpha 128
    tex->Texels()[1] = 0x00FFFFFF;  // transparent
    tex->Texels()[2] = 0xFF0A0B0C;  // opaque
    ID3DXSprite sprite(device.get());
    EXPECT_NE(sprite.Draw(tex, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3D_OK);  // not begun
    sprite.Begin(D3DXSPRITE_ALPHABLEND);
    const D3DXVECTOR3 at(1, 2, 0), at2(10, 5, 0);
    sprite.Draw(tex, nullptr, nullptr, &at, 0xFFFFFFFF);
    sprite.End();
    // Unblended, a rectangle reaching past the texture: its texels land opaque.
    sprite.Begin(0);
    const RECT wide{1, 0, 100, 100};
    sprite.Draw(tex, &wide, nullptr, &at2, 0xFFFFFFFF);
    sprite.End();
    tex->Release();
    const std::uint32_t* px = device->BackBufferSurface()->Pixels();
    // round((s * 128 + d * 127) / 255): 0xFF,0x20 -> 0x90; 0x80,0x40 -> 0x60; 0x00,0x60 -> 0x30
    EXPECT_EQ(std::vector<std::uint32_t>(px + 2 * 64 + 1, px + 2 * 64 + 4),
              (std::vector<std::uint32_t>{0xFF906030, 0xFF204060, 0xFF0A0B0C}));
    EXPECT_EQ(std::vector<std::uint32_t>(px + 5 * 64 + 10, px + 5 * 64 + 13),
              (std::vector<std::uint32_t>{0xFFFFFFFF, 0xFF0A0B0C, 0xFF204060}));
    EXPECT_EQ(px[6 * 64 + 10], 0xFF204060u);
}

// Every kernel the machine runs gives exactly the scalar result over every
// (texel, pixel, alpha) channel combination, in rows of every tail length:
// sorted by alpha (runs of transparent or opaque texels take the fast
// paths), then shuffled (mixed lanes).
TEST(BlendKernels, MatchScalarExactly) {
    using platform::soft::RowKernel;
    std::vector<RowKernel> kernels;
    if (auto k = platform::soft::BlendRowSse2()) kernels.push_back(k);
    if (auto k = platform::soft::BlendRowAvx2()) kernels.push_back(k);
    if (auto k = platform::soft::BlendRowAvx512()) kernels.push_back(k);
    if (kernels.empty()) GTEST_SKIP() << "no vector kernels on this machine";
    // Texel value s in the red byte over pixel value d, and the reverse.
    std::vector<std::uint32_t> src, dst;
    for (std::uint32_t a = 0; a < 256; ++a)
        for (std::uint32_t s = 0; s < 256; s += 3)
            for (std::uint32_t d = 0; d < 256; d += 5) {
                src.push_back(a << 24 | s << 16 | (255 - s) << 8 | d);
                dst.push_back(0xFF000000u | d << 16 | s << 8 | (255 - d));
            }
    const int n = static_cast<int>(src.size());
    std::mt19937 rng(7);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) std::shuffle(src.begin(), src.end(), rng);
        std::vector<std::uint32_t> want = dst;
        platform::soft::BlendRowScalar(want.data(), 0, src.data(), 0, n, 1);
        for (RowKernel k : kernels)
            for (int w = 1; w <= 16; ++w) {
                std::vector<std::uint32_t> got = dst;
                k(got.data(), w, src.data(), w, w, n / w);
                ASSERT_TRUE(std::equal(got.begin(), got.begin() + n / w * w, want.begin()))
                    << "pass " << pass << ", rows of " << w;
            }
    }
}

// Overlapping copies within one surface read each row before overwriting it;
// source rectangles not inside the source are refused.
TEST(StretchRect, OverlappingCopyWithinOneSurfaceAndRefusalOutside) {
    auto device = MakeDevice(8, 8);
    IDirect3DSurface9* bb = device->BackBufferSurface();
    const std::uint32_t* p = bb->Pixels();
    for (int i = 0; i < 64; ++i) bb->Pixels()[i] = static_cast<std::uint32_t>(i);
    const RECT s{0, 0, 6, 6}, d{1, 1, 7, 7};  // one pixel down and right
    EXPECT_EQ(device->StretchRect(bb, &s, bb, &d, D3DTEXF_NONE), D3D_OK);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(p[(y + 1) * 8 + x + 1], static_cast<std::uint32_t>(y * 8 + x));
    const RECT half{0, 0, 4, 4}, whole{0, 0, 8, 8};  // scaled up onto itself
    EXPECT_EQ(device->StretchRect(bb, &half, bb, &whole, D3DTEXF_POINT), D3D_OK);
    EXPECT_EQ(p[7 * 8 + 7], static_cast<std::uint32_t>(2 * 8 + 2));  // was (3,3)
    const std::vector<std::uint32_t> before(p, p + 64);
    for (RECT bad : {RECT{-1, 0, 4, 4}, RECT{4, 4, 9, 8}, RECT{3, 3, 3, 5}})
        EXPECT_NE(device->StretchRect(bb, &bad, bb, &d, D3DTEXF_NONE), D3D_OK);
    EXPECT_EQ(std::vector<std::uint32_t>(p, p + 64), before);
}

// Scaled copies take the source pixel under each target pixel's centre,
// (i + 1/2) * from / to rounded down, worked out by hand below. Copies into
// the back buffer (drawn with the frame) and between other surfaces (at once)
// sample alike, across and down.
TEST(StretchRect, PointSamplingTakesTheSourcePixelUnderEachCentre) {
    struct Case {
        int from, to;
        std::vector<std::int64_t> source;
    };
    const Case cases[] = {
        {2, 4, {0, 0, 1, 1}},  // 2x: centres at 0.25, 0.75, 1.25, 1.75
        {4, 2, {1, 3}},        // 1/2: 1, 3 (sampling at the left edge would give 0, 2)
        {3, 2, {0, 2}},        // 3 to 2: 0.75, 2.25
    };
    auto device = MakeDevice(8, 8);
    IDirect3DSurface9* bb = device->BackBufferSurface();
    for (const Case& c : cases) {
        std::vector<std::int64_t> got;
        for (int i = 0; i < c.to; ++i) got.push_back(PointSample(i, c.from, c.to));
        EXPECT_EQ(got, c.source) << c.from << " to " << c.to;
        // A source whose pixel (x, y) holds 16 * y + x, copied scaled both ways.
        IDirect3DSurface9 *src = nullptr, *other = nullptr;
        device->CreateOffscreenPlainSurface(static_cast<UINT>(c.from), static_cast<UINT>(c.from),
                                            D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &src, nullptr);
        device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &other,
                                            nullptr);
        for (int i = 0; i < c.from * c.from; ++i)
            src->Pixels()[i] = static_cast<std::uint32_t>(16 * (i / c.from) + i % c.from);
        const RECT to{1, 1, 1 + c.to, 1 + c.to};
        ASSERT_EQ(device->StretchRect(src, nullptr, bb, &to, D3DTEXF_POINT), D3D_OK);
        ASSERT_EQ(device->StretchRect(src, nullptr, other, &to, D3DTEXF_POINT), D3D_OK);
        for (int y = 0; y < c.to; ++y)
            for (int x = 0; x < c.to; ++x) {
                const auto want = static_cast<std::uint32_t>(16 * c.source[y] + c.source[x]);
                EXPECT_EQ(bb->Pixels()[(y + 1) * 8 + x + 1], want) << c.from << " to " << c.to;
                EXPECT_EQ(other->Pixels()[(y + 1) * 8 + x + 1], want) << c.from << " to " << c.to;
            }
        src->Release();
        other->Release();
    }
}

}  // namespace
