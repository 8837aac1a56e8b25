// The software device's 2D work: frame bandwidth, the gallery's frame, a
// 10,000- and 100,000-sprite bunnymark beside SDL2's own software renderer,
// and the tile map's view copy. Devices draw with one worker unless a
// benchmark's argument names the worker count.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/d3dx9.h"
#include "platform/soft/blend.h"
#include "platform/testing/scoped_env.h"
#include "sdl_bunnymark.h"

namespace {

constexpr int kW = 1024, kH = 768;

std::unique_ptr<IDirect3DDevice9> MakeDevice(int workers = 1) {
    D3DPRESENT_PARAMETERS pp;
    pp.BackBufferWidth = kW;
    pp.BackBufferHeight = kH;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.EnableAutoDepthStencil = 1;
    const platform::ScopedEnv threads("VELMOR_THREADS", std::to_string(workers));
    const platform::ScopedEnv every("VELMOR_DRAW_EVERY_FRAME", "1");  // as a window draws
    return std::make_unique<IDirect3DDevice9>(pp);
}

// The processor count: the device's default worker count.
int AllWorkers() { return std::max(1u, std::thread::hardware_concurrency()); }

// A sprite-like image: an opaque disc with a soft half-transparent rim and
// transparent corners (about 60 % opaque, 25 % transparent, 15 % blended).
std::vector<std::uint32_t> SpriteTexels(int w, int h) {
    std::vector<std::uint32_t> t(static_cast<std::size_t>(w) * h);
    const float cx = w / 2.0f, cy = h / 2.0f, r = w * 0.5f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float a = std::clamp((r - d) / 3.0f, 0.0f, 1.0f);
            t[y * w + x] = static_cast<std::uint32_t>(a * 255.0f + 0.5f) << 24 |
                           static_cast<std::uint32_t>((x * 8) & 0xFF) << 16 | 0x8040u;
        }
    return t;
}

IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, int w, int h,
                               const std::vector<std::uint32_t>& texels) {
    IDirect3DTexture9* t = nullptr;
    device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t, nullptr);
    std::memcpy(t->Texels(), texels.data(), texels.size() * 4);
    return t;
}

// Clearing the frame (target and depth) plus copying one whole 3 MB frame:
// the memory-bandwidth floor of any frame.
void BM_FrameClearAndCopy(benchmark::State& state) {
    auto device = MakeDevice();
    IDirect3DSurface9* src = nullptr;
    device->CreateOffscreenPlainSurface(kW, kH, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &src, nullptr);
    IDirect3DSurface9* bb = device->BackBufferSurface();
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->StretchRect(src, nullptr, bb, nullptr, D3DTEXF_NONE);
        benchmark::DoNotOptimize(bb->Pixels()[kW * kH / 2]);
    }
    src->Release();
}
BENCHMARK(BM_FrameClearAndCopy)->Unit(benchmark::kMillisecond);

// The gallery: clear, opaque 1024 x 768 background, 52 blended 32 x 32
// sprites (flowers, crosshair), 10 blended 96 x 96 cells (bunnies), each in
// its own batch as the entities draw. Argument: workers.
void BM_GalleryFrame(benchmark::State& state) {
    auto device = MakeDevice(static_cast<int>(state.range(0)));
    ID3DXSprite sprite(device.get());
    std::vector<std::uint32_t> bg(kW * kH);
    for (int i = 0; i < kW * kH; ++i)
        bg[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    std::unique_ptr<IDirect3DTexture9> background(MakeTexture(device.get(), kW, kH, bg));
    std::unique_ptr<IDirect3DTexture9> flower(
        MakeTexture(device.get(), 128, 32, SpriteTexels(128, 32)));
    std::unique_ptr<IDirect3DTexture9> bunny(
        MakeTexture(device.get(), 288, 288, SpriteTexels(288, 288)));
    std::mt19937 rng(1);
    std::vector<D3DXVECTOR3> small(52), big(10);
    for (auto& p : small) p = D3DXVECTOR3(rng() % 992, 526 + rng() % 210, 0);
    for (auto& p : big) p = D3DXVECTOR3(rng() % 928 + 0.5f, rng() % 600, 0);
    auto draw = [&](IDirect3DTexture9* t, const RECT* r, const D3DXVECTOR3& p) {
        sprite.Begin(D3DXSPRITE_ALPHABLEND);
        sprite.Draw(t, r, nullptr, &p, 0xFFFFFFFF);
        sprite.End();
    };
    const D3DXVECTOR3 origin(0, 0, 0);
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        draw(background.get(), nullptr, origin);
        for (int i = 0; i < 52; ++i) {
            const RECT cell{(i % 4) * 32, 0, (i % 4) * 32 + 32, 32};
            draw(flower.get(), &cell, small[i]);
        }
        for (int i = 0; i < 10; ++i) {
            const RECT cell{(i % 3) * 96, (i % 3) * 96, (i % 3) * 96 + 96, (i % 3) * 96 + 96};
            draw(bunny.get(), &cell, big[i]);
        }
        device->EndScene();
        benchmark::DoNotOptimize(device->BackBufferSurface()->Pixels()[1000]);
    }
    state.SetLabel(platform::soft::BlendRowKernelName());
}
BENCHMARK(BM_GalleryFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Bouncing positions for n sprites, moved every frame.
struct Flock {
    explicit Flock(int n) : x(n), y(n), vx(n), vy(n) {
        std::mt19937 rng(42);
        std::uniform_real_distribution<float> px(0, kW - 32), py(0, kH - 32), v(-4, 4);
        for (int i = 0; i < n; ++i) {
            x[i] = px(rng);
            y[i] = py(rng);
            vx[i] = v(rng);
            vy[i] = v(rng);
        }
    }
    void Step() {
        for (std::size_t i = 0; i < x.size(); ++i) {
            x[i] += vx[i];
            y[i] += vy[i];
            if (x[i] < 0 || x[i] > kW - 32) vx[i] = -vx[i];
            if (y[i] < 0 || y[i] > kH - 32) vy[i] = -vy[i];
        }
    }
    std::vector<float> x, y, vx, vy;
};

constexpr int kBunnies = 10000;

// Arg 0: sprite-like texels; 1: every texel half-transparent (all blended);
// 2: all opaque (copies); 3: all transparent (no pixel written: the cost of
// the calls and the clipping alone).
std::vector<std::uint32_t> BunnyTexels(int kind) {
    if (kind == 0) return SpriteTexels(32, 32);
    if (kind == 2) return std::vector<std::uint32_t>(32 * 32, 0xFF808080u);
    if (kind == 3) return std::vector<std::uint32_t>(32 * 32, 0x00808080u);
    std::vector<std::uint32_t> t(32 * 32);
    for (int i = 0; i < 32 * 32; ++i) t[i] = 0x80000000u | static_cast<std::uint32_t>(i * 977);
    return t;
}

void VelmorBunnymark(benchmark::State& state, platform::soft::RowKernel kernel, int kind = 0,
                     int bunnies = kBunnies, int workers = 1) {
    if (!kernel) {
        state.SkipWithError("kernel not available on this processor");
        return;
    }
    platform::soft::SetBlendRowKernel(kernel);
    auto device = MakeDevice(workers);
    ID3DXSprite sprite(device.get());
    std::unique_ptr<IDirect3DTexture9> tex(MakeTexture(device.get(), 32, 32, BunnyTexels(kind)));
    Flock flock(bunnies);
    for (auto _ : state) {
        flock.Step();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        sprite.Begin(D3DXSPRITE_ALPHABLEND);
        for (int i = 0; i < bunnies; ++i) {
            const D3DXVECTOR3 p(flock.x[i], flock.y[i], 0);
            sprite.Draw(tex.get(), nullptr, nullptr, &p, 0xFFFFFFFF);
        }
        sprite.End();
        benchmark::DoNotOptimize(device->BackBufferSurface()->Pixels()[1000]);
    }
    state.SetItemsProcessed(state.iterations() * bunnies);
    platform::soft::SetBlendRowKernel(nullptr);
}

void BM_Bunnymark10k_Velmor(benchmark::State& state) {
    VelmorBunnymark(state, platform::soft::BlendRow(), static_cast<int>(state.range(0)));
    state.SetLabel(platform::soft::BlendRowKernelName());
}
void BM_Bunnymark10k_VelmorScalar(benchmark::State& state) {
    VelmorBunnymark(state, platform::soft::BlendRowScalar, static_cast<int>(state.range(0)));
}
void BM_Bunnymark10k_VelmorSse2(benchmark::State& state) {
    VelmorBunnymark(state, platform::soft::BlendRowSse2(), static_cast<int>(state.range(0)));
}

// Sprite-like bunnies. Arguments: how many, workers (0: every core).
void BM_Bunnymark_Workers(benchmark::State& state) {
    const int workers = state.range(1) ? static_cast<int>(state.range(1)) : AllWorkers();
    VelmorBunnymark(state, platform::soft::BlendRow(), 0, static_cast<int>(state.range(0)),
                    workers);
    state.SetLabel(std::to_string(workers) + " workers");
}

// The machine's own two-core ceiling, without the pool: two threads each
// draw half the sprites on a device of their own, at the same time. Read the
// two-worker figures against this one: on a host whose second core is busy
// or shared, no split can beat it. Argument: sprites in all.
void BM_Bunnymark_TwoDevicesAtOnce(benchmark::State& state) {
    const int half = static_cast<int>(state.range(0)) / 2;
    struct Half {
        std::unique_ptr<IDirect3DDevice9> device = MakeDevice(1);
        ID3DXSprite sprite{device.get()};
        std::unique_ptr<IDirect3DTexture9> tex{MakeTexture(device.get(), 32, 32, BunnyTexels(0))};
        Flock flock;
        explicit Half(int n) : flock(n) {}
        void Frame() {
            flock.Step();
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
            sprite.Begin(D3DXSPRITE_ALPHABLEND);
            for (std::size_t i = 0; i < flock.x.size(); ++i) {
                const D3DXVECTOR3 p(flock.x[i], flock.y[i], 0);
                sprite.Draw(tex.get(), nullptr, nullptr, &p, 0xFFFFFFFF);
            }
            sprite.End();
            benchmark::DoNotOptimize(device->BackBufferSurface()->Pixels()[1000]);
        }
    };
    Half a(half), b(half);
    for (auto _ : state) {
        std::thread other([&] { b.Frame(); });
        a.Frame();
        other.join();
    }
    state.SetItemsProcessed(state.iterations() * half * 2);
}

// Arguments: texel kind, how many.
void BM_Bunnymark_SdlSoftware(benchmark::State& state) {
    const auto texels = BunnyTexels(static_cast<int>(state.range(0)));
    const int bunnies = static_cast<int>(state.range(1));
    platform::SdlSoftwareBunnymark sdl(kW, kH, texels.data(), 32, 32);
    if (!sdl.Ok()) {
        state.SkipWithError("SDL software renderer not available");
        return;
    }
    Flock flock(bunnies);
    for (auto _ : state) {
        flock.Step();
        sdl.Frame(flock.x.data(), flock.y.data(), bunnies);
        benchmark::DoNotOptimize(sdl.PixelAt(500, 400));
    }
    state.SetItemsProcessed(state.iterations() * bunnies);
}

BENCHMARK(BM_Bunnymark10k_Velmor)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bunnymark_Workers)
    ->ArgsProduct({{10000, 100000}, {1, 0, 2, 4, 8}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Bunnymark_TwoDevicesAtOnce)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Bunnymark_SdlSoftware)
    ->Args({0, 10000})
    ->Args({1, 10000})
    ->Args({0, 100000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bunnymark10k_VelmorSse2)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bunnymark10k_VelmorScalar)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The tile map's frame: an 896 x 768 view of the 896 x 6400 map surface
// copied onto the back buffer, the offset moving 5 pixels a frame.
void BM_TileMapView(benchmark::State& state) {
    auto device = MakeDevice();
    IDirect3DSurface9* map = nullptr;
    device->CreateOffscreenPlainSurface(896, 6400, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &map, nullptr);
    IDirect3DSurface9* bb = device->BackBufferSurface();
    const RECT screen{64, 0, 960, 768};
    LONG y = 0;
    for (auto _ : state) {
        const RECT view{0, y, 896, y + 768};
        device->StretchRect(map, &view, bb, &screen, D3DTEXF_NONE);
        y = (y + 5) % 5632;
        benchmark::DoNotOptimize(bb->Pixels()[1000]);
    }
    map->Release();
}
BENCHMARK(BM_TileMapView)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
