// One savanna frame (the level's update, every entity's update, the render
// and the present) with growing herds: the design's walks are linear per
// animal, so a frame grows with the square of the animal count.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/platform_setup.h"
#include "base/random.h"
#include "engine/engine.h"
#include "engine/game_world.h"
#include "game/giraffe.h"
#include "game/lion.h"
#include "game/savanna_level.h"
#include "platform/core/clock.h"
#include "platform/core/platform.h"
#include "platform/core/window.h"
#include "platform/testing/test_hooks.h"

namespace {

int Count(int kind) {
    int n = 0;
    for (ObjectNode* node = engine->registry->Head(); node; node = node->next)
        n += node->key == kind;
    return n;
}

void AddGiraffes(int n) {
    for (int i = 0; i < n; ++i) {
        auto* g = new Giraffe("giraffe.bmp");
        g->SetPosition(static_cast<float>(Rand() % 1024), static_cast<float>(Rand() % 768));
    }
}

// Arguments: giraffes, lions, group mode. Caught giraffes are replaced
// between frames (outside the timing) so every frame hunts the same herd size.
// Every frame is drawn, as a window does.
void BM_SavannaFrame(benchmark::State& state) {
    const int giraffes = static_cast<int>(state.range(0));
    const int lions = static_cast<int>(state.range(1));
    platform::Shutdown();  // a fresh platform context: the windows of earlier runs go
    std::string error;
    StartPlatform(true, platform::kDefaultClockStart, &error, true);
    engine = new Engine();
    engine->Init(GetModuleHandleA(nullptr), SW_SHOWDEFAULT);
    auto* level = new SavannaLevel();
    level->Init();
    AddGiraffes(giraffes - SavannaLevel::kGiraffeCount);
    for (int i = 0; i < lions; ++i) {
        platform::SetPresentedFramesForTest(i);  // a new millisecond, a new roll
        auto* lion = new Lion("lion.bmp");
        lion->SetPosition(static_cast<float>(Rand() % 1024), static_cast<float>(Rand() % 768));
        lion->SetGrouped(state.range(2) != 0);
    }
    for (auto _ : state) {
        level->Update();
        engine->Frame();
        state.PauseTiming();
        const int caught = giraffes - Count(kGiraffeKind);
        if (caught > 0) AddGiraffes(caught);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SavannaFrame)
    ->Args({100, 20, 0})
    ->Args({100, 20, 1})
    ->Args({1000, 100, 0})
    ->Args({1000, 100, 1})
    ->Args({10000, 1000, 0})
    ->Args({10000, 1000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The content the build generated lies beside this program.
    const auto content = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "content";
    if (chdir(content.c_str()) != 0) {
        std::fprintf(stderr, "bench_savanna: no content folder at %s\n", content.c_str());
        return 2;
    }
    std::string error;
    if (!StartPlatform(true, platform::kDefaultClockStart, &error, true)) {
        std::fprintf(stderr, "bench_savanna: %s\n", error.c_str());
        return 2;
    }
    platform::UseVirtualClock(platform::kDefaultClockStart);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
