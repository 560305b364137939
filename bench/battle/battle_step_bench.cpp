// Steps per second of the world step for the default battle (100 marines and
// 100 tanks per side in 700 x 700) and for 10x and 100x as many units in
// worlds grown to keep the same density.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "World.h"
#include "army_placement.h"

namespace {

// Each world is replaced after this many steps, so every figure describes the
// opening of a battle at full density rather than its thinned-out end.
constexpr int kStepsPerWorld = 20;

std::unique_ptr<World> opening(int per_kind_per_side, int seed) {
    // 400 units in 700 x 700; area grows with the number of units.
    const double side = 700.0 * std::sqrt(per_kind_per_side / 100.0);
    auto w = std::make_unique<World>(side, side, seed);
    place_armies(*w, per_kind_per_side, per_kind_per_side, ATTACK_MOST_DANGEROUS,
                 ATTACK_MOST_DANGEROUS, true);
    return w;
}

void BM_WorldStep(benchmark::State& state) {
    const int per_kind = static_cast<int>(state.range(0));
    int seed = 1;
    auto w = opening(per_kind, seed);
    int steps_here = 0;
    for (auto _ : state) {
        if (steps_here == kStepsPerWorld || w->red_score() >= 0) {
            state.PauseTiming();
            w = opening(per_kind, ++seed);
            steps_here = 0;
            state.ResumeTiming();
        }
        w->step();
        ++steps_here;
        benchmark::DoNotOptimize(w->units.data());
    }
    state.SetItemsProcessed(state.iterations());  // items = steps
    state.counters["units"] = static_cast<double>(4 * per_kind);
}

BENCHMARK(BM_WorldStep)->Arg(100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorldStep)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorldStep)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
