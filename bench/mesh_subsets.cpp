// A mesh of many materials drawn the way the model draws one: material,
// texture and DrawSubset for each of 5,000 subsets of one triangle each (a
// small triangle on the ground in a 100 x 50 grid in front of the engine's
// camera). A draw transforms only the vertices its subset uses; the target
// is well under 10 ms a frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "engine/engine.h"
#include "engine/renderer.h"
#include "platform/core/clock.h"
#include "platform/core/d3dx9mesh.h"
#include "platform/core/platform.h"
#include "platform/core/window.h"

namespace {

Engine* TheEngine() {
    static Engine* made = [] {
        std::string error;
        if (!StartPlatform(true, platform::kDefaultClockStart, &error))
            std::fprintf(stderr, "%s\n", error.c_str());
        std::filesystem::current_path(VELMOR_CONTENT_DIR);
        engine = new Engine();
        engine->Init(GetModuleHandleA(nullptr), SW_SHOWDEFAULT);
        return engine;
    }();
    return made;
}

void BM_FiveThousandOneTriangleSubsets(benchmark::State& state) {
    constexpr int kColumns = 100, kRows = 50, kSubsets = kColumns * kRows;
    Renderer* renderer = TheEngine()->renderer;
    IDirect3DDevice9* device = renderer->device;
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<DWORD> subsets;
    for (int i = 0; i < kSubsets; ++i) {
        const float x = -3.0f + 6.0f * (i % kColumns) / kColumns;
        const float z = -1.5f + 3.0f * (i / kColumns) / kRows;
        const auto first = static_cast<std::uint32_t>(vertices.size());
        vertices.push_back({x, 0, z, 0, 0});
        vertices.push_back({x, 0, z + 0.05f, 0, 1});
        vertices.push_back({x + 0.05f, 0, z, 1, 0});
        indices.insert(indices.end(), {first, first + 1, first + 2});
        subsets.push_back(static_cast<DWORD>(i));
    }
    ID3DXMesh mesh(device, vertices, indices, subsets);
    std::vector<D3DMATERIAL9> materials(kSubsets);
    for (int i = 0; i < kSubsets; ++i) {
        const float shade = static_cast<float>(i % 251) / 250.0f;
        materials[i] = {{shade, 1, 1, 1}, {shade, 1, 1, 1}, {}, {0.25f, shade, 0.5f, 1}, 0};
    }
    for (auto _ : state) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        renderer->SetupCamera();
        for (int i = 0; i < kSubsets; ++i) {
            device->SetMaterial(&materials[i]);
            device->SetTexture(0, nullptr);
            mesh.DrawSubset(static_cast<DWORD>(i));
        }
        benchmark::DoNotOptimize(renderer->backBuffer->Pixels()[384 * 1024 + 512]);
    }
    // The triangles are seen: a good share of the screen is drawn.
    int drawn = 0;
    for (int p = 0; p < 1024 * 768; ++p) drawn += renderer->backBuffer->Pixels()[p] != 0xFF000000u;
    if (drawn < 1024 * 768 / 20) state.SkipWithError("the triangles were not drawn");
    state.counters["pixels"] = drawn;
}
BENCHMARK(BM_FiveThousandOneTriangleSubsets)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
