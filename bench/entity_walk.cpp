// One engine walk over a large registry of entities whose updates do nothing.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/base_entity.h"
#include "engine/engine.h"

namespace {

class Idle : public BaseEntity {
  public:
    void Update() override { benchmark::ClobberMemory(); }
    void Render() override {}
};

void BM_UpdateEntities(benchmark::State& state) {
    Engine* saved = engine;
    engine = new Engine();
    std::vector<Idle> entities(static_cast<std::size_t>(state.range(0)));
    for (auto& e : entities) {
        e.kind = 1;
        engine->registry->Add(&e, 1);
    }
    for (auto _ : state) engine->UpdateEntities();
    state.SetItemsProcessed(state.iterations() * state.range(0));
    engine = saved;
}
BENCHMARK(BM_UpdateEntities)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
