// octile-mapgen: writes a generated octile text map, NAME.map, and a scenario
// of queries on it with their optimal lengths, NAME.map.scen.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

#include "FileChecks.h"
#include "OctileMapGenerators.h"
#include "OutputFile.h"
#include "ScenarioGenerator.h"

namespace {

enum class Kind { ROOMS, MAZE, LAKES };

// The files are NAME.map and NAME.map.scen, so NAME must end in a file name:
// an empty one or a folder would give hidden files or files beside the folder.
std::string checkOutputName(const std::string& name) {
    if (name.empty()) return "empty file name";
    const std::filesystem::path path(name);
    const std::string last = path.filename().string();
    if (last.empty() || last == "." || last == "..") return "no file name in \"" + name + "\"";
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return name + " is a directory; give a file name in it, such as " + (path / "map").string();
    }
    return "";
}

int fail(const std::string& why) {
    std::cerr << "octile-mapgen: " << why << '\n';
    return 1;
}

// The map and its scenario are written in full before either replaces its
// file, so that a failure leaves the old files (or none) as they were.
std::string writeBoth(const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<std::unique_ptr<fileio::OutputFile>> outputs;
    for (const auto& [path, text] : files) {
        outputs.push_back(std::make_unique<fileio::OutputFile>(path));
        const std::string problem = outputs.back()->open();
        if (!problem.empty()) return problem;
        outputs.back()->stream() << text;
    }
    std::vector<fileio::OutputFile*> all;
    for (const auto& output : outputs) all.push_back(output.get());
    return fileio::commitAll(all);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "octile-mapgen: writes a generated map NAME.map in the octile text format and "
        "a scenario NAME.map.scen with optimal lengths (diagonals sqrt 2, no corner "
        "cutting)",
        "octile-mapgen"};
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return std::string("octile-mapgen: ") + e.what() + " (see --help)\n";
    });
    std::string kindName = "rooms";
    int width = 512, height = 512, corridor = 1, queries = 1000, perStart = 50;
    std::uint32_t seed = 1;
    std::string name;
    const std::map<std::string, Kind> kinds{
        {"rooms", Kind::ROOMS}, {"maze", Kind::MAZE}, {"lakes", Kind::LAKES}};
    app.add_option("--kind", kindName, "rooms, maze or lakes")
        ->check(
            [&kinds](const std::string& text) {
                return kinds.count(text) > 0
                           ? std::string()
                           : "expected rooms, maze or lakes, not \"" + text + "\"";
            },
            "")
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

    const std::string mapPath = name + ".map";
    const std::string scenPath = mapPath + ".scen";
    std::vector<fileio::FileOption> files{{"--out", mapPath, fileio::Access::WRITE}};
    if (queries > 0) files.push_back({"--out", scenPath, fileio::Access::WRITE});
    // Before the work, which can take long on large maps.
    if (const std::string problem = fileio::checkFiles(files); !problem.empty())
        return fail(problem);

    const Kind kind = kinds.at(kindName);
    const OctileRows rows = kind == Kind::ROOMS  ? makeRoomsMap(width, height, seed)
                            : kind == Kind::MAZE ? makeMazeMap(width, height, corridor, seed)
                                                 : makeLakesMap(width, height, seed);
    std::ostringstream mapText;
    writeOctileMap(mapText, rows);
    std::vector<std::pair<std::string, std::string>> outputs{{mapPath, mapText.str()}};
    if (queries > 0) {
        const std::vector<ScenarioLine> lines = makeScenario(rows, queries, perStart, seed);
        if (int(lines.size()) < queries) {
            return fail("only " + std::to_string(lines.size()) + " of " + std::to_string(queries) +
                        " queries: too little connected ground");
        }
        // The scenario sits next to its map and names it relative to its folder.
        const std::string mapName = std::filesystem::path(mapPath).filename().string();
        std::ostringstream scenText;
        writeScenario(scenText, mapName, width, height, lines);
        outputs.emplace_back(scenPath, scenText.str());
    }
    if (const std::string problem = writeBoth(outputs); !problem.empty()) return fail(problem);
    return 0;
}
