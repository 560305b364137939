// battlestats: a tournament of targeting policies. Plays many battlesim batch
// battles for every pair of red and blue policies, in parallel, and reports
// win shares with confidence intervals, as a table and optionally as CSV,
// JSON and an SVG heat map. Shards of a tournament can run on different
// machines and be merged afterwards.

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include "FileChecks.h"
#include "Options.h"
#include "OutputFile.h"
#include "ProgressLine.h"
#include "Records.h"
#include "Report.h"
#include "ResultFiles.h"
#include "Runner.h"
#include "SettingsCheck.h"

namespace {

int fail(const std::string& why) {
    std::cerr << "battlestats: " << why << std::endl;
    return 1;
}

std::string read_merge_inputs(const std::vector<std::string>& paths,
                              std::vector<CsvInput>& inputs) {
    for (const std::string& path : paths) {
        CsvInput input{path, ""};
        const std::string problem = fileio::readWholeFile(path, input.text);
        if (!problem.empty()) return problem;
        inputs.push_back(std::move(input));
    }
    return "";
}

// The battles of the tournament (or of its shard), with a progress line when
// standard error is a terminal.
std::vector<BattleRecord> play(const TournamentResult& result, const Options& options) {
    const std::vector<BattleJob> jobs = tournament_jobs(result.settings, options.shard);
    std::vector<BattleOutcome> outcomes;
    if (isatty(STDERR_FILENO)) {
        ProgressLine line(std::cerr, jobs.size(), "battles");
        const auto start = std::chrono::steady_clock::now();
        outcomes = run_battles(result.settings, jobs, options.threads, [&](std::size_t done) {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            line.update(done, elapsed.count());
        });
        line.clear();
    } else {
        outcomes = run_battles(result.settings, jobs, options.threads);
    }
    std::vector<BattleRecord> records;
    records.reserve(jobs.size());
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        records.push_back(
            {jobs[i].pair, jobs[i].index, jobs[i].seed, outcomes[i].result, outcomes[i].steps});
    }
    return records;
}

struct Output {
    std::string path;
    std::function<void(std::ostream&)> write;
};

// Every output is written in full before any replaces its file, so that one
// that fails leaves all files as they were.
std::string write_outputs(const std::vector<Output>& outputs) {
    std::vector<std::unique_ptr<fileio::OutputFile>> files;
    for (const Output& o : outputs) {
        files.push_back(std::make_unique<fileio::OutputFile>(o.path));
        std::string problem = files.back()->open();
        if (!problem.empty()) return problem;
        o.write(files.back()->stream());
    }
    std::vector<fileio::OutputFile*> all;
    for (const auto& file : files) all.push_back(file.get());
    return fileio::commitAll(all);
}

// The table, after a shard's count of its battles.
void write_report(std::ostream& out, const TournamentResult& result, const Options& options) {
    if (options.sharded) {
        const std::uint64_t total = tournament_pairs(result.settings).size() *
                                    static_cast<std::uint64_t>(result.settings.battles);
        out << "shard " << options.shard.k << "/" << options.shard.n << ": "
            << result.records.size() << " of " << total << " battles\n";
    }
    write_table(out, result);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int status = parse_options(argc, argv, options, std::cout, std::cerr);
    if (status >= 0) return status;
    // Before any battle, so that a bad name costs nothing and blocks nothing.
    if (const std::string problem = fileio::checkFiles(options.files); !problem.empty())
        return fail(problem);

    TournamentResult result;
    if (!options.merge.empty()) {
        std::vector<CsvInput> inputs;
        std::string problem = read_merge_inputs(options.merge, inputs);
        if (problem.empty()) problem = merge_csv(inputs, result);
        if (!problem.empty()) return fail(problem);
    } else {
        result.settings = options.tournament;
        if (result.settings.master_seed == 0) result.settings.master_seed = clock_seed();
        // A clock value of 0 would read as "take the clock" again on a rerun.
        if (result.settings.master_seed == 0) result.settings.master_seed = 1;
        const std::string problem = settings_problem(result.settings);
        if (!problem.empty()) return fail(problem);
        options.threads = threads_that_fit(result.settings, options.threads);
        try {
            result.records = play(result, options);
        } catch (const std::bad_alloc&) {
            return fail("out of memory: too many battles or units");
        } catch (const std::length_error&) {
            return fail("out of memory: too many battles or units");
        } catch (const std::system_error& e) {
            return fail(std::string("cannot start the threads: ") + e.what());
        }
    }

    std::vector<Output> outputs;
    bool file_on_standard_output = false;
    const std::pair<const std::string*, void (*)(std::ostream&, const TournamentResult&)> files[] =
        {{&options.csv, write_csv}, {&options.json, write_json}, {&options.svg, write_svg}};
    for (const auto& file : files) {
        if (file.first->empty()) continue;
        file_on_standard_output |= fileio::isStandardOutput(*file.first);
        const auto write = file.second;
        outputs.push_back(
            {*file.first, [&result, write](std::ostream& out) { write(out, result); }});
    }
    // Standard output holds that file alone, so that it can be piped on.
    if (!file_on_standard_output) {
        outputs.insert(outputs.begin(), {fileio::STANDARD_OUTPUT, [&](std::ostream& out) {
                                             write_report(out, result, options);
                                         }});
    }
    if (const std::string problem = write_outputs(outputs); !problem.empty()) return fail(problem);
    return 0;
}
