#include "Bench.h"

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "AnswerChecker.h"
#include "FileChecks.h"
#include "Inputs.h"
#include "JsonReport.h"
#include "OptimumBand.h"
#include "OutputFile.h"
#include "PathSearcher.h"
#include "Progress.h"
#include "Report.h"
#include "Runner.h"
#include "SearchOutcome.h"
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

// One search over every query: the heading, the table and the verdicts on
// `out`, the figures in `outcome`. Returns 1 when --check found a wrong
// answer or an optimum off the band.
int runSearch(const Options& options, const Inputs& in, const SearchKind& kind,
              SearchOutcome& outcome, std::ostream& out, std::ostream& err) {
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
    QueryRun run;
    {
        QueryProgress progress(err, in.queries.size(), isatty(STDERR_FILENO) == 1);
        run = runQueries(searcher, grid.getWidth(), grid.getHeight(), options.size, in.queries,
                         options.threads, makeVerifier, &progress.done());
    }
    const std::vector<std::string>& problems = run.problems;
    outcome.search = kind.csvName;
    outcome.results = std::move(run.results);
    outcome.rows = summarize(in.queries, outcome.results);
    outcome.wallMicros = run.wallMicros;
    const std::vector<BucketSummary>& rows = outcome.rows;

    out << "map " << in.mapPath << " (" << grid.getWidth() << " x " << grid.getHeight()
        << "), object size " << options.size << ", " << in.queries.size() << " queries "
        << in.source;
    if (options.searchNamed) out << ", " << kind.title;
    out << '\n';
    if (in.optimaLeftOut) {
        const int cells = options.size + 1;
        out << "no optimum ratios: the scenario's optima are for 1x1 objects, not " << cells << 'x'
            << cells << '\n';
    }
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
    // Random queries have no optima, and larger objects had theirs left out.
    const bool optima = !options.scenario.empty() && !in.optimaLeftOut;
    std::vector<std::string> mismatches;
    if (optima) mismatches = findOptimumMismatches(in.queries, outcome.results, options.check);
    outcome.optimaOff = optima ? int(mismatches.size()) : -1;
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

void writeCsv(std::ostream& out, const Options& options, const Inputs& in,
              const std::vector<SearchOutcome>& searches) {
    writeCsvHeader(out, options.searchNamed);
    for (const SearchOutcome& s : searches) {
        writeCsvRows(out, in.queries, s.results, options.times,
                     options.searchNamed ? s.search : nullptr);
    }
}

using Writer = void (*)(std::ostream&, const Options&, const Inputs&,
                        const std::vector<SearchOutcome>&);

// Every file is written in full before any replaces its old self, so that
// one that fails leaves them all as they were. Empty, or the message.
std::string writeFiles(const Options& options, const Inputs& in,
                       const std::vector<SearchOutcome>& searches) {
    const std::pair<const std::string*, Writer> outputs[] = {{&options.csv, writeCsv},
                                                             {&options.json, writeJson}};
    std::vector<std::unique_ptr<fileio::OutputFile>> files;
    for (const auto& [path, write] : outputs) {
        if (path->empty()) continue;
        files.push_back(std::make_unique<fileio::OutputFile>(*path));
        if (std::string problem = files.back()->open(); !problem.empty()) return problem;
        write(files.back()->stream(), options, in, searches);
    }
    std::vector<fileio::OutputFile*> all;
    for (const auto& file : files) all.push_back(file.get());
    return fileio::commitAll(all);
}

}  // namespace

int runBench(const Options& options, std::ostream& out, std::ostream& err) {
    // Before anything is read or run, so that a bad name costs nothing and
    // a FIFO blocks nothing.
    if (const std::string problem = fileio::checkFiles(options.files); !problem.empty()) {
        err << "gridbench: " << problem << '\n';
        return kInputError;
    }
    Inputs in;
    if (!loadInputs(options, in, err)) return kInputError;

    // A file on standard output has it to itself, so that it can be piped on.
    std::ostream discarded(nullptr);
    const bool fileOnStandardOutput =
        fileio::isStandardOutput(options.csv) || fileio::isStandardOutput(options.json);
    std::ostream& report = fileOnStandardOutput ? discarded : out;

    std::vector<SearchKind> kinds;
    if (options.search != "jump") kinds.push_back(kExact);
    if (options.search != "exact") kinds.push_back(kJump);
    std::vector<SearchOutcome> searches(kinds.size());
    int status = 0;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        status = std::max(status, runSearch(options, in, kinds[k], searches[k], report, err));
    }
    if (kinds.size() == 2 && options.times) {
        printSpeedRatio(report, searches[0].rows.back().totalMicros,
                        searches[1].rows.back().totalMicros);
    }
    if (const std::string problem = writeFiles(options, in, searches); !problem.empty()) {
        err << "gridbench: " << problem << '\n';
        return kInputError;
    }
    return status;
}
