#include "Bench.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "AnswerChecker.h"
#include "FileAccess.h"
#include "MapLoader.h"
#include "OptimumBand.h"
#include "PathSearcher.h"
#include "RandomQueries.h"
#include "Report.h"
#include "Runner.h"
#include "ScenarioReader.h"
#include "Statistics.h"

namespace {

constexpr int kInputError = 2;
constexpr std::size_t kMismatchesShown = 5;
constexpr const char* kBand = "the band [1, 142/141.42]";

struct SearchKind {
    GridSearcher::Search search;
    const char* title;    // in the heading
    const char* csvName;  // in the CSV's search column
};
constexpr SearchKind kExact{GridSearcher::EXACT, "exact search", "exact"};
constexpr SearchKind kJump{GridSearcher::JUMP, "jump point search", "jump"};

struct Inputs {
    GridPtr grid;
    std::string mapPath;
    std::vector<Query> queries;
    std::string source;  // where the queries came from, for the heading
};

// The scenario's queries and the map they belong to; false after a message.
bool loadScenarioInputs(const Options& options, Inputs& in, std::ostream& err) {
    const std::string& file = options.scenario;
    std::ifstream stream;
    Scenario scenario;
    std::string error;
    if (!openInput(file.c_str(), stream, error)) {
        err << "gridbench: Cannot read " << file << ": " << error << '\n';
        return false;
    }
    if (!parseScenario(stream, scenario, error)) {
        err << "gridbench: Cannot read " << file << ": " << error << '\n';
        return false;
    }
    if (scenario.entries.empty()) {
        err << "gridbench: Cannot read " << file << ": no queries\n";
        return false;
    }
    const Scenario::Entry& first = scenario.entries.front();
    if (options.map.empty()) {
        for (const Scenario::Entry& e : scenario.entries) {
            if (e.map != first.map) {
                err << "gridbench: Cannot read " << file << ": line " << e.line << ": map " << e.map
                    << " is not the map " << first.map << " of line " << first.line << '\n';
                return false;
            }
        }
        // The scenario names its map relative to its own folder.
        in.mapPath = (std::filesystem::path(file).parent_path() / first.map).string();
    } else {
        in.mapPath = options.map;
    }

    std::ostringstream loadMessages;
    in.grid = loadMapFile(in.mapPath.c_str(), loadMessages);
    if (!in.grid) {
        err << "gridbench: " << loadMessages.str();
        return false;
    }
    for (const Scenario::Entry& e : scenario.entries) {
        if (e.mapWidth != in.grid->getWidth() || e.mapHeight != in.grid->getHeight()) {
            err << "gridbench: Cannot read " << file << ": line " << e.line << ": map size "
                << e.mapWidth << " x " << e.mapHeight << " is not the size " << in.grid->getWidth()
                << " x " << in.grid->getHeight() << " of " << in.mapPath << '\n';
            return false;
        }
        in.queries.push_back(
            Query{e.line, e.bucket, e.startX, e.startY, e.goalX, e.goalY, e.optimal});
    }
    in.source = "from " + file;
    return true;
}

bool loadRandomInputs(const Options& options, Inputs& in, std::ostream& err) {
    in.mapPath = options.map;
    std::ostringstream loadMessages;
    in.grid = loadMapFile(in.mapPath.c_str(), loadMessages);
    if (!in.grid) {
        err << "gridbench: " << loadMessages.str();
        return false;
    }
    in.queries = makeRandomQueries(*in.grid, options.size, options.random, options.seed);
    if (in.queries.empty()) {
        err << "gridbench: " << in.mapPath << " has no place where an object of size "
            << options.size << " stands on ground or water\n";
        return false;
    }
    in.source = "at random (seed " + std::to_string(options.seed) + ")";
    return true;
}

// One search over every query: the heading, the table and the verdicts, and
// the time of all its queries in `totalMicros`. Returns 1 when --check found
// a wrong answer or an optimum off the band.
int runSearch(const Options& options, const Inputs& in, const SearchKind& kind,
              std::vector<QueryResult>& results, double& totalMicros, std::ostream& out,
              std::ostream& err) {
    const Grid& grid = *in.grid;
    const GridSearcher searcher(grid, kind.search);
    VerifierFactory makeVerifier;
    std::optional<AnswerChecker> checker;
    if (options.check) {
        checker.emplace(grid, searcher, options.size);
        // A copy per thread: the checker's reference search keeps scratch.
        makeVerifier = [&checker] {
            auto own = std::make_shared<AnswerChecker>(*checker);
            return [own](const Query& q, const QueryResult& r, const Grid::Path& path) {
                return own->verify(q, r, path);
            };
        };
    }
    QueryRun run = runQueries(searcher, grid.getWidth(), grid.getHeight(), options.size, in.queries,
                              options.threads, makeVerifier);
    results = std::move(run.results);
    const std::vector<std::string>& problems = run.problems;
    const std::vector<BucketSummary> rows = summarize(in.queries, results);
    totalMicros = rows.back().totalMicros;

    out << "map " << in.mapPath << " (" << grid.getWidth() << " x " << grid.getHeight()
        << "), object size " << options.size << ", " << in.queries.size() << " queries "
        << in.source;
    if (options.searchNamed) out << ", " << kind.title;
    out << '\n';
    printTable(out, rows, options.times);
    printConnectivityShare(out, rows.back());
    if (options.times) {
        printThroughput(out, rows.back());
        printQueryRate(out, in.queries.size(), run.wallMicros, run.threads);
    }
    if (options.check) {
        out << "check: " << in.queries.size() - problems.size() << " answers right, "
            << problems.size() << " wrong\n";
        for (const std::string& p : problems) err << "gridbench: wrong answer: " << p << '\n';
    }
    // Scenario optima are lengths for an object of one cell.
    std::vector<std::string> mismatches;
    if (options.size == 0) mismatches = findOptimumMismatches(in.queries, results, options.check);
    if (options.check && !mismatches.empty()) {
        out << "check: " << mismatches.size()
            << " scenario optima disagree with our Dijkstra beyond " << kBand << '\n';
        for (std::size_t i = 0; i < mismatches.size() && i < kMismatchesShown; ++i) {
            err << "gridbench: optimum off: " << mismatches[i] << '\n';
        }
        if (mismatches.size() > kMismatchesShown) {
            err << "gridbench: optimum off: " << mismatches.size() - kMismatchesShown << " more\n";
        }
    } else if (!mismatches.empty()) {
        err << "gridbench: warning: " << mismatches.size() << " of " << in.queries.size()
            << " scenario optima disagree with our costs beyond " << kBand
            << "; --check lists them\n";
    }
    return problems.empty() && (!options.check || mismatches.empty()) ? 0 : 1;
}

}  // namespace

int runBench(const Options& options, std::ostream& out, std::ostream& err) {
    Inputs in;
    const bool loaded = options.scenario.empty() ? loadRandomInputs(options, in, err)
                                                 : loadScenarioInputs(options, in, err);
    if (!loaded) return kInputError;

    std::ofstream csv;
    if (!options.csv.empty()) {
        errno = 0;
        csv.open(options.csv);
        if (!csv) {
            err << "gridbench: cannot write " << options.csv << ": " << std::strerror(errno)
                << '\n';
            return kInputError;
        }
    }

    std::vector<SearchKind> kinds;
    if (options.search != "jump") kinds.push_back(kExact);
    if (options.search != "exact") kinds.push_back(kJump);
    std::vector<std::vector<QueryResult>> results(kinds.size());
    std::vector<double> micros(kinds.size());
    int status = 0;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        status =
            std::max(status, runSearch(options, in, kinds[k], results[k], micros[k], out, err));
    }
    if (kinds.size() == 2 && options.times) printSpeedRatio(out, micros[0], micros[1]);
    if (csv.is_open()) {
        writeCsvHeader(csv, options.searchNamed);
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            writeCsvRows(csv, in.queries, results[k], options.times,
                         options.searchNamed ? kinds[k].csvName : nullptr);
        }
        csv.close();
        if (!csv) {
            err << "gridbench: cannot write " << options.csv << ": " << std::strerror(errno)
                << '\n';
            return kInputError;
        }
    }
    return status;
}
