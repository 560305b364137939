// Steps per second with the plain all-units target scan and with the grid of
// nearby cells, for the default battle (400 units in 700 x 700), for 10x and
// 100x as many units and for small battles, all at the same density; and the
// cost of asking whether a stalled battle is frozen.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <memory>

#include "Setup.h"
#include "World.h"

namespace {

// Each world is replaced after this many steps, so every figure describes the
// opening of a battle at full density rather than its thinned-out end.
constexpr int kStepsPerWorld = 10;

constexpr std::size_t kNeverIndex = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kAlwaysIndex = 0;

// 100 marines and 100 tanks per side fill 700 x 700; the area grows with the army.
std::unique_ptr<World> opening(int per_kind_per_side, int seed, std::size_t min_units,
                               bool bounce = true) {
    const double side = 700.0 * std::sqrt(per_kind_per_side / 100.0);
    auto w = std::make_unique<World>(side, side, seed);
    w->spatial_index_min_units = min_units;
    Settings s;
    s.n_marines = s.n_tanks = per_kind_per_side;
    s.bounce = bounce;
    place_armies(*w, s, 10, 20);
    return w;
}

void run_steps(benchmark::State& state, std::size_t min_units) {
    const int per_kind = static_cast<int>(state.range(0));
    int seed = 1;
    auto w = opening(per_kind, seed, min_units);
    int steps_here = 0;
    for (auto _ : state) {
        if (steps_here == kStepsPerWorld || w->red_score() >= 0) {
            state.PauseTiming();
            w = opening(per_kind, ++seed, min_units);
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

void BM_StepPlainScan(benchmark::State& state) {
    run_steps(state, kNeverIndex);
}
void BM_StepSpatialIndex(benchmark::State& state) {
    run_steps(state, kAlwaysIndex);
}
// What a battle gets without choosing: the world's own size threshold.
void BM_StepDefault(benchmark::State& state) {
    run_steps(state, World::DEFAULT_SPATIAL_INDEX_MIN_UNITS);
}

// 4 to 400 units: where the grid starts to pay for itself.
void small_battles(benchmark::internal::Benchmark* b) {
    for (int per_kind : {1, 3, 6, 12, 25, 37, 50, 62, 75, 100}) b->Arg(per_kind);
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_StepPlainScan)->Apply(small_battles);
BENCHMARK(BM_StepSpatialIndex)->Apply(small_battles);
BENCHMARK(BM_StepDefault)->Apply(small_battles);
BENCHMARK(BM_StepPlainScan)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepSpatialIndex)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepPlainScan)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StepSpatialIndex)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(30);

// The grid on its own: one rebuild from the opening positions.
void BM_IndexRebuild(benchmark::State& state) {
    auto w = opening(static_cast<int>(state.range(0)), 1, kAlwaysIndex);
    SpatialIndex index;
    for (auto _ : state) {
        index.rebuild(w->units);
        benchmark::ClobberMemory();
    }
    state.counters["units"] = static_cast<double>(w->units.size());
}
BENCHMARK(BM_IndexRebuild)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The full frozen test, which checks every unit, on a battle without bouncing
// that has come to rest (a batch run would ask it after every step).
void frozen_check(benchmark::State& state, std::size_t min_units) {
    auto w = opening(static_cast<int>(state.range(0)), 3, min_units, false);
    int steps = 0;
    while (!w->is_frozen() && w->red_score() < 0 && steps < 5000) {
        w->step();
        ++steps;
    }
    if (!w->is_frozen()) {
        state.SkipWithError("the battle did not come to rest");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(w->is_frozen());
    state.counters["units"] = static_cast<double>(w->units.size());
    state.counters["rest_step"] = steps;
}
void BM_IsFrozenPlainScan(benchmark::State& state) {
    frozen_check(state, kNeverIndex);
}
void BM_IsFrozenSpatialIndex(benchmark::State& state) {
    frozen_check(state, kAlwaysIndex);
}
BENCHMARK(BM_IsFrozenPlainScan)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IsFrozenSpatialIndex)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
