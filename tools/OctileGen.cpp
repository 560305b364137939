// octile-mapgen: writes a generated octile text map, NAME.map, and a scenario
// of queries on it with their optimal lengths, NAME.map.scen.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "OctileMaps.h"
#include "OctileScenario.h"

namespace {

enum class Kind { ROOMS, MAZE, LAKES };

bool writeFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
    std::ofstream out(path);
    write(out);
    out.close();
    return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "octile-mapgen: writes a generated map NAME.map in the octile text format and "
        "a scenario NAME.map.scen with optimal lengths (diagonals sqrt 2, no corner "
        "cutting)",
        "octile-mapgen"};
    Kind kind = Kind::ROOMS;
    int width = 512, height = 512, corridor = 1, queries = 1000, perStart = 50;
    std::uint32_t seed = 1;
    std::string name;
    const std::map<std::string, Kind> kinds{
        {"rooms", Kind::ROOMS}, {"maze", Kind::MAZE}, {"lakes", Kind::LAKES}};
    app.add_option("--kind", kind, "rooms, maze or lakes")
        ->transform(CLI::CheckedTransformer(kinds))
        ->capture_default_str();
    app.add_option("--width", width, "Map width in cells")
        ->check(CLI::Range(8, 8192))
        ->capture_default_str();
    app.add_option("--height", height, "Map height in cells")
        ->check(CLI::Range(8, 8192))
        ->capture_default_str();
    app.add_option("--corridor", corridor, "Maze corridor width")
        ->check(CLI::Range(1, 64))
        ->capture_default_str();
    app.add_option("--seed", seed, "Seed of the map and the queries")->capture_default_str();
    app.add_option("--queries", queries, "Number of scenario queries (0: map only)")
        ->check(CLI::Range(0, 1000000))
        ->capture_default_str();
    app.add_option("--per-start", perStart, "Queries from each start")
        ->check(CLI::Range(1, 100000))
        ->capture_default_str();
    app.add_option("--out", name, "Output name: writes NAME.map and NAME.map.scen")->required();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return e.get_exit_code() == 0 ? 0 : 2;
    }

    const OctileRows rows = kind == Kind::ROOMS  ? makeRoomsMap(width, height, seed)
                            : kind == Kind::MAZE ? makeMazeMap(width, height, corridor, seed)
                                                 : makeLakesMap(width, height, seed);
    const std::string mapPath = name + ".map";
    if (!writeFile(mapPath, [&](std::ostream& out) { writeOctileMap(out, rows); })) {
        std::cerr << "octile-mapgen: cannot write " << mapPath << '\n';
        return 1;
    }
    if (queries == 0) return 0;
    const std::vector<ScenarioLine> lines = makeScenario(rows, queries, perStart, seed);
    // The scenario sits next to its map and names it relative to its folder.
    const std::string mapName = std::filesystem::path(mapPath).filename().string();
    const std::string scenPath = mapPath + ".scen";
    if (!writeFile(scenPath,
                   [&](std::ostream& out) { writeScenario(out, mapName, width, height, lines); })) {
        std::cerr << "octile-mapgen: cannot write " << scenPath << '\n';
        return 1;
    }
    if (int(lines.size()) < queries) {
        std::cerr << "octile-mapgen: only " << lines.size()
                  << " queries: too little connected ground\n";
    }
    return 0;
}
