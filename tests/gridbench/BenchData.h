#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "MapFile.h"
#include "Query.h"
#include "Scenario.h"

// The hand-written maps and scenarios in tests/gridbench/data.
inline std::string dataFile(const std::string& name) {
    return std::string(GRIDBENCH_DATA) + "/" + name;
}

inline GridPtr loadDataMap(const std::string& name) {
    std::ostringstream messages;
    return loadMapFile(dataFile(name).c_str(), messages);
}

inline std::vector<Query> loadDataQueries(const std::string& name) {
    std::ifstream in(dataFile(name));
    Scenario scenario;
    std::string error;
    std::vector<Query> queries;
    if (!parseScenario(in, scenario, error)) return queries;
    for (const Scenario::Entry& e : scenario.entries) queries.push_back(e.query);
    return queries;
}
