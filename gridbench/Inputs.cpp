#include "Inputs.h"

#include <ostream>
#include <sstream>

#include "FileChecks.h"
#include "MapLoader.h"
#include "RandomQueries.h"
#include "ScenarioMap.h"
#include "ScenarioReader.h"

namespace {

// Read whole and without blocking, whatever the file has become since the check.
bool loadMap(const std::string& path, Inputs& in, std::ostream& err) {
    std::string bytes;
    if (const std::string problem = fileio::readWholeFile(path, bytes); !problem.empty()) {
        err << "gridbench: " << problem << '\n';
        return false;
    }
    std::ostringstream messages;
    in.mapPath = path;
    in.grid = readMapBytes(bytes, path, messages);
    if (!in.grid) err << "gridbench: " << messages.str();
    return in.grid != nullptr;
}

// The map a scenario names is no option, so checkFiles never saw it: an
// output over it would destroy the map.
bool mapIsNoOutput(const Options& options, const std::string& map, std::ostream& err) {
    for (const fileio::FileOption& f : options.files) {
        if (f.access == fileio::Access::WRITE && !fileio::isStandardOutput(f.path) &&
            fileio::sameFile(map, f.path)) {
            err << "gridbench: the scenario's map " << map << " and " << f.option << ' ' << f.path
                << " are the same file\n";
            return false;
        }
    }
    return true;
}

bool loadScenarioInputs(const Options& options, Inputs& in, std::ostream& err) {
    const std::string& file = options.scenario;
    std::string text;
    if (const std::string problem = fileio::readWholeFile(file, text); !problem.empty()) {
        err << "gridbench: " << problem << '\n';
        return false;
    }
    std::istringstream stream(text);
    Scenario scenario;
    std::string error;
    if (!parseScenario(stream, scenario, error)) {
        err << "gridbench: Cannot read " << file << ": " << error << '\n';
        return false;
    }
    if (scenario.entries.empty()) {
        err << "gridbench: Cannot read " << file << ": no queries\n";
        return false;
    }
    const Scenario::Entry& first = scenario.entries.front();
    std::string mapPath = options.map;
    if (mapPath.empty()) {
        for (const Scenario::Entry& e : scenario.entries) {
            if (e.map != first.map) {
                err << "gridbench: Cannot read " << file << ": line " << e.line << ": map " << e.map
                    << " is not the map " << first.map << " of line " << first.line << '\n';
                return false;
            }
        }
        std::string problem;
        if (!findScenarioMap(file, first.map, mapPath, problem)) {
            err << "gridbench: " << problem << '\n';
            return false;
        }
        if (!mapIsNoOutput(options, mapPath, err)) return false;
    }
    if (!loadMap(mapPath, in, err)) return false;

    for (const Scenario::Entry& e : scenario.entries) {
        if (e.mapWidth != in.grid->getWidth() || e.mapHeight != in.grid->getHeight()) {
            err << "gridbench: Cannot read " << file << ": line " << e.line << ": map size "
                << e.mapWidth << " x " << e.mapHeight << " is not the size " << in.grid->getWidth()
                << " x " << in.grid->getHeight() << " of " << in.mapPath << '\n';
            return false;
        }
        in.queries.push_back(Query{e.line, e.bucket, e.startX, e.startY, e.goalX, e.goalY,
                                   e.optimal, e.optimalDecimals});
        // A larger object has other optima, which the scenario does not give.
        if (options.size > 0) in.queries.back().optimal = -1;
    }
    in.optimaLeftOut = options.size > 0;
    in.source = "from " + file;
    return true;
}

bool loadRandomInputs(const Options& options, Inputs& in, std::ostream& err) {
    if (!loadMap(options.map, in, err)) return false;
    in.queries = makeRandomQueries(*in.grid, options.size, options.random, options.seed);
    if (in.queries.empty()) {
        err << "gridbench: " << in.mapPath << " has no place where an object of size "
            << options.size << " stands on ground or water\n";
        return false;
    }
    in.source = "at random (seed " + std::to_string(options.seed) + ")";
    return true;
}

}  // namespace

bool loadInputs(const Options& options, Inputs& in, std::ostream& err) {
    return options.scenario.empty() ? loadRandomInputs(options, in, err)
                                    : loadScenarioInputs(options, in, err);
}
