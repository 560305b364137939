// findShortestPath and findJumpPointPath over long routes on open, noisy,
// maze, rooms and lakes maps, against the plain one-allocation-per-node
// search, with the sector cache warm and cold, and isConnected cold and warm.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <tuple>

#include "Grid.h"
#include "OctileMapGenerators.h"
#include "ReferenceSearch.h"
#include "TestMaps.h"

namespace {

// The octile-mapgen kinds (rooms, lakes, a maze with corridors 3 wide) and
// two of our own: open ground and 30 % blocked noise.
enum MapKind { OPEN, NOISE30, MAZE, ROOMS, LAKES };

Grid& mapFor(MapKind kind, int side) {
    static std::map<std::pair<MapKind, int>, GridPtr> cache;
    GridPtr& slot = cache[{kind, side}];
    if (!slot) {
        if (kind == OPEN) slot = std::make_unique<Grid>(side, side);
        if (kind == NOISE30) slot = gridFromRows(noiseRows(side, side, 30, 0, 42));
        if (kind == MAZE) slot = gridFromRows(makeMazeMap(side, side, 3, 42));
        if (kind == ROOMS) slot = gridFromRows(makeRoomsMap(side, side, 42));
        if (kind == LAKES) slot = gridFromRows(makeLakesMap(side, side, 42));
    }
    return *slot;
}

// A long query: the uniform position nearest the top-left corner to the one
// nearest the bottom-right corner that it is connected with.
std::tuple<int, int, int, int> longRoute(const Grid& grid, int size) {
    const int last = grid.getWidth() - 1 - size;
    for (int d = 0; d <= last; ++d)
        for (int i = 0; i <= d; ++i)
            if (grid.isConnected(size, i, d - i, i, d - i))
                for (int e = 0; e <= last; ++e)
                    for (int j = 0; j <= e; ++j)
                        if (grid.isConnected(size, i, d - i, last - j, last - (e - j)))
                            return {i, d - i, last - j, last - (e - j)};
    return {0, 0, 0, 0};
}

// Who answers a benchmark's queries.
enum Searcher { LIBRARY, REFERENCE, JUMP };

int search(Searcher searcher, const Grid& grid, int size, int x1, int y1, int x2, int y2,
           Grid::Path& path) {
    if (searcher == REFERENCE) return reference::findShortestPath(grid, size, x1, y1, x2, y2, path);
    if (searcher == JUMP) return grid.findJumpPointPath(size, x1, y1, x2, y2, path);
    return grid.findShortestPath(size, x1, y1, x2, y2, path);
}

// One long query per iteration, by one of the searches; with a cold cache,
// each iteration first rewrites a tile with its own value, so the query runs
// as the first one after a map change does: the reference and the jump
// search then pay for the sector fill through isConnected (the jump search
// also for the update of its bitmaps around the tile), findShortestPath needs
// none.
template <Searcher searcher, bool coldCache>
void searchLongRoute(benchmark::State& state) {
    const auto kind = static_cast<MapKind>(state.range(0));
    const int side = static_cast<int>(state.range(1));
    const int size = static_cast<int>(state.range(2));
    Grid& grid = mapFor(kind, side);
    const auto [x1, y1, x2, y2] = longRoute(grid, size);
    // The work, counted once outside the timing: the library and the
    // reference expand the same nodes, the jump search counts its jump points.
    // This query also builds the jump search's bitmaps, which are then kept.
    Grid::SearchStats stats;
    Grid::Path path;
    if (searcher == JUMP) {
        grid.findJumpPointPath(size, x1, y1, x2, y2, path, stats);
    } else {
        grid.findShortestPath(size, x1, y1, x2, y2, path, stats);
    }
    int cost = 0;
    for (auto _ : state) {
        if (coldCache) grid.setTile(x1, y1, grid.getTile(x1, y1));
        cost = search(searcher, grid, size, x1, y1, x2, y2, path);
        benchmark::DoNotOptimize(cost);
    }
    state.counters["cost"] = cost;
    state.counters["expanded"] = static_cast<double>(stats.expanded);
    state.counters["pushed"] = static_cast<double>(stats.pushed);
    state.counters["expansions/s"] = benchmark::Counter(
        static_cast<double>(stats.expanded), benchmark::Counter::kIsIterationInvariantRate);
}

void searchArgs(benchmark::internal::Benchmark* b) {
    for (int side : {512, 2048}) {
        for (int size : {0, 2}) {
            b->Args({OPEN, side, size});
            b->Args({MAZE, side, size});
        }
        b->Args({NOISE30, side, 0});  // 3x3 objects do not fit through 30 % noise
        b->Args({ROOMS, side, 0});
        b->Args({LAKES, side, 0});
    }
    b->ArgNames({"map", "side", "size"})->Unit(benchmark::kMicrosecond);
}

BENCHMARK(searchLongRoute<LIBRARY, false>)->Name("findShortestPath")->Apply(searchArgs);
BENCHMARK(searchLongRoute<REFERENCE, false>)->Name("referenceSearch")->Apply(searchArgs);
BENCHMARK(searchLongRoute<JUMP, false>)->Name("findJumpPointPath")->Apply(searchArgs);
BENCHMARK(searchLongRoute<LIBRARY, true>)->Name("findShortestPathCold")->Apply(searchArgs);
BENCHMARK(searchLongRoute<REFERENCE, true>)->Name("referenceSearchCold")->Apply(searchArgs);
BENCHMARK(searchLongRoute<JUMP, true>)->Name("findJumpPointPathCold")->Apply(searchArgs);

// First query after a tile change: the fill of the start's sector (and,
// before, the reset of all three tables).
void isConnectedCold(benchmark::State& state) {
    const auto kind = static_cast<MapKind>(state.range(0));
    const int side = static_cast<int>(state.range(1));
    const int size = static_cast<int>(state.range(2));
    Grid& grid = mapFor(kind, side);
    const auto [x1, y1, x2, y2] = longRoute(grid, size);
    for (auto _ : state) {
        grid.setTile(x1, y1, grid.getTile(x1, y1));
        benchmark::DoNotOptimize(grid.isConnected(size, x1, y1, x2, y2));
    }
}
BENCHMARK(isConnectedCold)
    ->Apply([](benchmark::internal::Benchmark* b) {
        for (int side : {512, 2048})
            for (int size : {0, 2}) b->Args({OPEN, side, size});
        for (MapKind kind : {NOISE30, MAZE, ROOMS, LAKES}) b->Args({kind, 2048, 0});
    })
    ->ArgNames({"map", "side", "size"})
    ->Unit(benchmark::kMillisecond);

void isConnectedWarm(benchmark::State& state) {
    const Grid& grid = mapFor(NOISE30, 2048);
    int i = 0;
    for (auto _ : state) {
        i = (i + 7919) & 2047;
        benchmark::DoNotOptimize(grid.isConnected(0, 5, 5, i, 2047 - i));
    }
}
BENCHMARK(isConnectedWarm);

}  // namespace

BENCHMARK_MAIN();
