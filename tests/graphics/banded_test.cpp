// Drawing in bands over several workers gives the same bytes as one worker
// drawing at once, and so does drawing kept across frames until someone
// looks (headless): sprites, clears and meshes crossing band edges,
// StretchRect into and out of the back buffer mid-frame, images read or
// changed mid-frame or between frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "platform/core/d3dx9.h"
#include "platform/core/d3dx9mesh.h"
#include "platform/soft/banded_target.h"
#include "platform/testing/scoped_env.h"

namespace {

constexpr int kW = 203, kH = 151;  // bands of unequal height

struct Pictures {
    std::vector<std::uint32_t> midFrame, final, offscreen;
    std::vector<float> depth;
};

// Fills `out` with noise; with alpha a third transparent, a third opaque.
void Noise(std::uint32_t* out, int n, std::uint32_t seed, bool alpha) {
    std::mt19937 rng(seed);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t t = rng();
        out[i] = !alpha ? t : t % 3 == 0 ? t & 0xFFFFFF : t % 3 == 1 ? t | 0xFF000000u : t;
    }
}

// A device drawing with `workers` workers, sent to them past `minWork`
// pixels of a run (the first run of DrawScene crosses 150,000 after a few
// dozen sprites: the start is drawn at once, the rest recorded). With
// `everyFrame` it draws at every EndScene and Present; otherwise, as in
// headless runs, only when pixels are asked for.
std::unique_ptr<IDirect3DDevice9> MakeDevice(int workers, std::int64_t minWork,
                                             bool everyFrame = false) {
    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = kW;
    pp.BackBufferHeight = kH;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.EnableAutoDepthStencil = 1;
    const platform::ScopedEnv threads("VELMOR_THREADS", std::to_string(workers));
    const platform::ScopedEnv minPixels("VELMOR_PARALLEL_MIN_PIXELS", std::to_string(minWork));
    const platform::ScopedEnv every("VELMOR_DRAW_EVERY_FRAME", everyFrame ? "1" : "0");
    return std::make_unique<IDirect3DDevice9>(pp);
}

IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, std::uint32_t color) {
    IDirect3DTexture9* t = nullptr;
    device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr);
    std::fill_n(t->Texels(), 64, color);
    return t;
}

// One frame of everything the device draws.
Pictures DrawScene(int workers, std::int64_t minWork, bool everyFrame) {
    auto device = MakeDevice(workers, minWork, everyFrame);
    EXPECT_EQ(device->Workers(), workers);
    IDirect3DSurface9* bb = device->BackBufferSurface();

    IDirect3DTexture9* made = nullptr;
    device->CreateTexture(40, 30, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &made, nullptr);
    std::unique_ptr<IDirect3DTexture9> tex(made);
    Noise(tex->Texels(), 40 * 30, 1, true);
    IDirect3DSurface9* off = nullptr;
    device->CreateOffscreenPlainSurface(60, 50, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &off, nullptr);
    Noise(off->Pixels(), 60 * 50, 2, false);

    // 120 triangles, half of them textured, crossing bands, edges and depths.
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices(360);
    std::vector<DWORD> attributes(120);
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> pos(-1.3f, 1.3f), depth(-0.2f, 1.2f), uv(-2, 2);
    for (int i = 0; i < 360; ++i) {
        indices[i] = i;
        attributes[i / 3] = i < 180 ? 0 : 1;
        vertices.push_back({pos(rng), pos(rng), depth(rng), uv(rng), uv(rng)});
    }
    ID3DXMesh mesh(device.get(), vertices, indices, attributes);

    Pictures out;
    ID3DXSprite sprite(device.get());
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
    device->BeginScene();
    const RECT rects[2] = {{10, 20, 150, 90}, {-5, 100, 300, 200}};
    device->Clear(2, rects, D3DCLEAR_TARGET, 0xFF405060, 0.5f, 0);
    sprite.Begin(D3DXSPRITE_ALPHABLEND);
    std::uniform_real_distribution<float> at(-45.0f, 210.0f);
    for (int i = 0; i < 300; ++i) {
        const D3DXVECTOR3 p(at(rng), at(rng), 0);
        const RECT cell{i % 7, i % 5, 40 - i % 3, 30};
        sprite.Draw(tex.get(), i % 2 ? &cell : nullptr, nullptr, &p, 0xFFFFFFFF);
    }
    sprite.End();
    // Into the back buffer (copied and scaled), then a screenshot mid-frame.
    const RECT s{5, 5, 55, 45}, d{20, 30, 70, 70}, big{100, 10, 190, 140};
    device->StretchRect(off, &s, bb, &d, D3DTEXF_NONE);
    device->StretchRect(off, &s, bb, &big, D3DTEXF_POINT);
    out.midFrame.assign(bb->Pixels(), bb->Pixels() + kW * kH);

    const D3DMATERIAL9 material{{}, {}, {}, {0.3f, 0.6f, 0.9f, 1.0f}, 0};
    device->SetMaterial(&material);
    device->SetTexture(0, tex.get());
    mesh.DrawSubset(0);
    device->SetTexture(0, nullptr);
    mesh.DrawSubset(1);
    // Out of the back buffer into a surface, and back in elsewhere.
    const RECT from{0, 60, 60, 110}, to{130, 90, 190, 140};
    device->StretchRect(bb, &from, off, nullptr, D3DTEXF_NONE);
    device->StretchRect(off, nullptr, bb, &to, D3DTEXF_NONE);
    // Texels changed and freed after being drawn: the draw keeps the old ones.
    sprite.Begin(0);
    const D3DXVECTOR3 q(150.5f, 60.0f, 0);
    sprite.Draw(tex.get(), nullptr, nullptr, &q, 0xFFFFFFFF);
    sprite.End();
    std::fill_n(tex->Texels(), 40 * 30, 0xFFFF00FFu);
    tex.reset();
    device->EndScene();
    out.final.assign(bb->Pixels(), bb->Pixels() + kW * kH);
    out.offscreen.assign(off->Pixels(), off->Pixels() + 60 * 50);
    out.depth.assign(device->DepthBuffer(), device->DepthBuffer() + kW * kH);
    off->Release();
    return out;
}

TEST(BandedDrawing, EveryWorkerCountGivesTheSameBytes) {
    const Pictures one = DrawScene(1, 0, true);
    // Not a blank picture: the meshes drew and left depths.
    EXPECT_NE(one.midFrame, one.final);
    const auto cleared = std::count(one.depth.begin(), one.depth.end(), 1.0f);
    EXPECT_TRUE(cleared > 0 && cleared < kW * kH);
    for (bool everyFrame : {true, false})
        for (int workers : {1, 2, 3, 7})
            for (std::int64_t minWork : {0, 150000}) {
                SCOPED_TRACE(testing::Message() << workers << " workers from " << minWork
                                                << (everyFrame ? ", every frame" : ", kept"));
                const Pictures many = DrawScene(workers, minWork, everyFrame);
                EXPECT_TRUE(many.midFrame == one.midFrame && many.final == one.final);
                EXPECT_TRUE(many.offscreen == one.offscreen && many.depth == one.depth);
            }
}

// Frames as a headless run draws them, kept until pixels are asked for,
// give the bytes of frames drawn at once, whatever is looked at when:
// frames that do not clear build on the last, or clear only the colour over
// a mesh's depths, or only a strip; the back buffer read a frame later and
// drawn back after a clear; a mesh freed and texels changed after the frame
// that drew them; more calls in a frame than are kept at once.
std::vector<std::vector<std::uint32_t>> DrawFrames(int workers, bool everyFrame,
                                                   const std::vector<bool>& look) {
    auto device = MakeDevice(workers, 0, everyFrame);
    IDirect3DSurface9* bb = device->BackBufferSurface();
    std::vector<std::vector<std::uint32_t>> seen;
    int frame = 0;
    auto present = [&] {
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
        if (look[frame++]) seen.emplace_back(bb->Pixels(), bb->Pixels() + kW * kH);
        device->BeginScene();
    };
    IDirect3DTexture9* made = nullptr;
    device->CreateTexture(12, 10, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &made, nullptr);
    std::unique_ptr<IDirect3DTexture9> tex(made);
    Noise(tex->Texels(), 12 * 10, 4, true);
    IDirect3DSurface9* off = nullptr;
    device->CreateOffscreenPlainSurface(kW, kH, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &off, nullptr);
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices(180);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> pos(-1.2f, 1.2f), depth(0.0f, 1.0f), uv(-2, 2);
    for (int i = 0; i < 180; ++i) {
        indices[i] = i;
        vertices.push_back({pos(rng), pos(rng), depth(rng), uv(rng), uv(rng)});
    }
    const std::vector<DWORD> attributes(60, 0);
    auto mesh = std::make_unique<ID3DXMesh>(device.get(), vertices, indices, attributes);
    ID3DXSprite sprite(device.get());
    // Each touches the back buffer.
    std::uniform_real_distribution<float> atX(-8.0f, kW - 1.0f), atY(-8.0f, kH - 1.0f);
    auto sprites = [&](int n, DWORD flags) {
        sprite.Begin(flags);
        for (int i = 0; i < n; ++i) {
            const D3DXVECTOR3 p(atX(rng), atY(rng), 0);
            sprite.Draw(tex.get(), nullptr, nullptr, &p, 0xFFFFFFFF);
        }
        sprite.End();
    };

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
    device->BeginScene();
    device->SetTexture(0, tex.get());
    mesh->DrawSubset(0);
    sprites(50, D3DXSPRITE_ALPHABLEND);
    present();  // 1
    sprites(50, 0);
    D3DXMATRIX turned;
    D3DXMatrixRotationYawPitchRoll(&turned, 0.0f, 0.0f, 0.7f);
    device->SetTransform(D3DTS_WORLD, &turned);
    mesh->DrawSubset(0);
    present();  // 2: on top of 1
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF405060, 1.0f, 0);
    D3DXMatrixRotationYawPitchRoll(&turned, 0.0f, 0.0f, 1.5f);
    device->SetTransform(D3DTS_WORLD, &turned);
    mesh->DrawSubset(0);  // behind and in front of the depths before
    present();            // 3
    device->StretchRect(bb, nullptr, off, nullptr, D3DTEXF_NONE);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    const RECT half{0, 0, kW / 2, kH / 2}, corner{10, 10, kW - 10, kH / 2};
    device->StretchRect(off, &half, bb, &corner, D3DTEXF_POINT);
    mesh->DrawSubset(0);
    present();  // 4
    mesh.reset();
    sprites(50, D3DXSPRITE_ALPHABLEND);
    const RECT strip{0, 20, kW, 60};
    device->Clear(1, &strip, D3DCLEAR_TARGET, 0xFF808080, 1.0f, 0);
    present();  // 5
    Noise(tex->Texels(), 12 * 10, 6, true);
    sprites(static_cast<int>(platform::soft::BandedTarget::kMaxDeferredCalls) + 1000,
            D3DXSPRITE_ALPHABLEND);
    present();  // 6
    seen.emplace_back(off->Pixels(), off->Pixels() + kW * kH);
    const float* z = device->DepthBuffer();
    for (int i = 0; i < kW * kH; ++i) seen.back().push_back(std::bit_cast<std::uint32_t>(z[i]));
    off->Release();
    return seen;
}

TEST(BandedDrawing, FramesKeptUntilLookedAtGiveTheSameBytes) {
    const std::vector<bool> every(6, true);
    const auto want = DrawFrames(1, true, every);
    for (std::size_t i = 1; i < want.size(); ++i) EXPECT_NE(want[i], want[i - 1]) << i;
    for (int workers : {1, 2, 7})
        for (const std::vector<bool>& look :
             {every, {true, false, false, false, true, false}, std::vector<bool>(6, false)}) {
            SCOPED_TRACE(testing::Message() << workers << " workers");
            auto got = DrawFrames(workers, false, look);
            std::vector<std::vector<std::uint32_t>> looked;
            for (std::size_t i = 0; i < look.size(); ++i)
                if (look[i]) looked.push_back(want[i]);
            looked.push_back(want.back());
            EXPECT_TRUE(got == looked);
        }
}

// Touching an image finishes the drawing of the device that made it, whatever
// another device has recorded; a device draws only its own images; an image
// may outlive its device.
TEST(BandedDrawing, ImagesBelongToTheDeviceThatMadeThem) {
    auto a = MakeDevice(2, 0), b = MakeDevice(2, 0);  // every call recorded
    IDirect3DTexture9* ta = MakeTexture(a.get(), 0xFFFF0000u);
    IDirect3DTexture9* tb = MakeTexture(b.get(), 0xFF00FF00u);
    IDirect3DSurface9* sa = nullptr;
    a->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &sa, nullptr);
    ID3DXSprite spriteA(a.get()), spriteB(b.get());
    spriteA.Begin(0);
    EXPECT_EQ(spriteA.Draw(ta, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3D_OK);
    EXPECT_EQ(spriteA.Draw(tb, nullptr, nullptr, nullptr, 0xFFFFFFFF), D3DERR_INVALIDCALL);
    spriteA.End();
    spriteB.Begin(0);
    spriteB.Draw(tb, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    spriteB.End();
    EXPECT_EQ(b->SetTexture(0, ta), D3DERR_INVALIDCALL);
    EXPECT_EQ(b->StretchRect(sa, nullptr, b->BackBufferSurface(), nullptr, D3DTEXF_NONE),
              D3DERR_INVALIDCALL);
    std::fill_n(ta->Texels(), 64, 0xFF0000FFu);  // a draws the red it was given first
    std::fill_n(tb->Texels(), 64, 0xFF0000FFu);
    EXPECT_EQ(a->BackBufferSurface()->Pixels()[kW + 1], 0xFFFF0000u);
    EXPECT_EQ(b->BackBufferSurface()->Pixels()[kW + 1], 0xFF00FF00u);
    a.reset();
    ta->Texels()[0] = 0;
    sa->Pixels()[0] = 0;
    for (IDirect3DTexture9* t : {ta, tb}) t->Release();
    sa->Release();
}

}  // namespace
