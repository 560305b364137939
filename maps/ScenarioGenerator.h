#pragma once

#include <cstdint>
#include <vector>

#include "OctileMapWriter.h"
#include "ScenarioWriter.h"

// Shortest route lengths from (x, y) to every cell, by Dijkstra: the walker
// stays on cells of the start's kind (ground, or water), a diagonal step
// needs both cells beside it of that kind too (no corner cutting). Entry
// y * width + x; -1 where it cannot get.
std::vector<double> octileLengthsFrom(const OctileRows& rows, int x, int y);

// `queries` queries between ground cells, `perStart` of them from each
// start drawn at random, goals drawn among the cells the start reaches.
// Bucket b (0 to 9) holds the queries whose length lies in the b-th tenth
// of the longest; lines are sorted by bucket. Fewer queries when the map
// has too little connected ground.
std::vector<ScenarioLine> makeScenario(const OctileRows& rows, int queries, int perStart,
                                       std::uint32_t seed);
