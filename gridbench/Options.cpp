#include "Options.h"

#include <sched.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <ostream>
#include <string>
#include <thread>

namespace {

constexpr int kMaxThreads = 1024;

// The affinity mask, not the machine: taskset and containers narrow it.
int usableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace

int parseOptions(int argc, const char* const* argv, Options& options, std::ostream& out,
                 std::ostream& err) {
    CLI::App app{
        "gridbench: runs shortest-path queries on a tile map and reports, per bucket and in "
        "total, how many were solved, the time per query, the node expansions and how close "
        "the costs come to the scenario's optimal lengths.",
        "gridbench"};
    auto* scen = app.add_option("--scen", options.scenario,
                                "Scenario file; the map it names is looked for relative to the "
                                "scenario's folder, then to the working directory, then by its "
                                "base name beside the scenario");
    auto* map = app.add_option("--map", options.map,
                               "Map file (.map or .bmp): overrides the scenario's map, or is the "
                               "map of the random queries");
    auto* random = app.add_option("--random", options.random,
                                  "Run this many random queries on --map instead of a scenario")
                       ->check(CLI::Range(1, 100000000));
    app.add_option("--seed", options.seed, "Seed of the random queries")->capture_default_str();
    app.add_option("--size", options.size,
                   "Object size: 0, 1 or 2 (1x1 to 3x3 cells); above 0, a scenario's optima, "
                   "which are for 1x1 objects, are left out")
        ->check(CLI::Range(0, 2))
        ->capture_default_str();
    app.add_flag("--check", options.check,
                 "Verify every answer against an independent Dijkstra and isConnected against "
                 "the search");
    auto* search = app.add_option("--search", options.search,
                                  "Which search answers: exact (A*), jump (jump point search) "
                                  "or both, one after the other on the same queries, with "
                                  "their speed ratio")
                       ->check(CLI::IsMember({"exact", "jump", "both"}))
                       ->capture_default_str();
    auto* csv = app.add_option("--csv", options.csv,
                               "Write one row per query to this file (- for standard output, "
                               "which then holds nothing else); with --search, a last column "
                               "names the search");
    auto* json = app.add_option("--json", options.json,
                                "Write the summary of every bucket, the total and one row per "
                                "query to this JSON file (- for standard output, which then "
                                "holds nothing else)");
    options.threads = usableCores();
    // The cap keeps a typo from asking for more threads than the system gives;
    // our own check, as CLI11's range calls "abc" out of range.
    const CLI::Validator threadCount(
        [](std::string& text) -> std::string {
            int n = 0;
            const char* end = text.data() + text.size();
            const auto parsed = std::from_chars(text.data(), end, n);
            if (parsed.ec == std::errc() && parsed.ptr == end && n >= 1 && n <= kMaxThreads) {
                return "";
            }
            return text + " is not a whole number from 1 to " + std::to_string(kMaxThreads);
        },
        "1 to " + std::to_string(kMaxThreads));
    app.add_option("--threads", options.threads,
                   "Answer the queries on this many threads at once, all on the one map; the "
                   "output is the same for any number but for the times (default: the cores "
                   "this process may run on)")
        ->check(threadCount)
        ->capture_default_str();
    bool noTimes = false;
    app.add_flag("--no-times", noTimes,
                 "Leave the timings out, so that runs compare byte for byte");
    scen->excludes(random);
    random->needs(map);

    try {
        app.parse(argc, argv);
        if (scen->count() == 0 && options.random == 0) {
            throw CLI::ValidationError("give --scen FILE, or --map FILE with --random N");
        }
    } catch (const CLI::ParseError& e) {
        app.exit(e, out, err);
        return e.get_exit_code() == 0 ? 0 : 2;
    }
    const std::pair<CLI::Option*, fileio::Access> files[] = {{scen, fileio::Access::READ},
                                                             {map, fileio::Access::READ},
                                                             {csv, fileio::Access::WRITE},
                                                             {json, fileio::Access::WRITE}};
    for (const auto& [option, access] : files) {
        if (option->count() > 0) {
            options.files.push_back({option->get_name(), option->as<std::string>(), access});
        }
    }
    options.times = !noTimes;
    options.searchNamed = search->count() > 0;
    return -1;
}
