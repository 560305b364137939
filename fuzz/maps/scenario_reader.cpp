// Scenario files from memory; every query read must lie inside the map size
// its line gives.

#include <cstdlib>
#include <sstream>

#include "FuzzInput.h"
#include "ScenarioReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxFuzzInput) return -1;
    std::istringstream in(fuzzText(data, size));
    Scenario scenario;
    std::string error;
    if (!parseScenario(in, scenario, error)) {
        if (error.rfind("line ", 0) != 0) std::abort();
        return 0;
    }
    for (const Scenario::Entry& e : scenario.entries) {
        const bool inside = e.mapWidth > 0 && e.mapHeight > 0 && e.startX >= 0 && e.startY >= 0 &&
                            e.goalX >= 0 && e.goalY >= 0 && e.startX < e.mapWidth &&
                            e.startY < e.mapHeight && e.goalX < e.mapWidth &&
                            e.goalY < e.mapHeight && e.optimal >= 0 && !e.map.empty();
        if (!inside) std::abort();
    }
    return 0;
}
