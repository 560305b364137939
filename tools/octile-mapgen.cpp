// octile-mapgen: writes a generated octile text map, NAME.map, and a scenario
// of queries on it with their optimal lengths, NAME.map.scen.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>

#include "FileAccess.h"
#include "OctileMapGenerators.h"
#include "ScenarioGenerator.h"

namespace {

enum class Kind { ROOMS, MAZE, LAKES };

// The files are NAME.map and NAME.map.scen, so NAME must end in a file name:
// an empty one or a folder would give hidden files or files beside the folder.
std::string checkOutputName(const std::string& name) {
    const std::filesystem::path path(name);
    const std::string last = path.filename().string();
    if (last.empty() || last == "." || last == "..") return "no file name in \"" + name + "\"";
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return name + " is a directory; give a file name in it, such as " + (path / "map").string();
    }
    return "";
}

bool writeFile(const std::string& path, const std::string& text) {
    const std::string reason = writeWholeFile(path, text);
    if (!reason.empty())
        std::cerr << "octile-mapgen: cannot write " << path << ": " << reason << '\n';
    return reason.empty();
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
    app.add_option("--out", name, "Output name: writes NAME.map and NAME.map.scen")
        ->required()
        ->check(checkOutputName);
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
    std::ostringstream mapText;
    writeOctileMap(mapText, rows);
    if (!writeFile(mapPath, mapText.str())) return 1;
    if (queries == 0) return 0;
    const std::vector<ScenarioLine> lines = makeScenario(rows, queries, perStart, seed);
    // The scenario sits next to its map and names it relative to its folder.
    const std::string mapName = std::filesystem::path(mapPath).filename().string();
    std::ostringstream scenText;
    writeScenario(scenText, mapName, width, height, lines);
    if (!writeFile(mapPath + ".scen", scenText.str())) return 1;
    if (int(lines.size()) < queries) {
        std::cerr << "octile-mapgen: only " << lines.size() << " of " << queries
                  << " queries: too little connected ground\n";
        return 1;
    }
    return 0;
}
