// battlestats: a tournament of targeting policies. Plays many battlesim batch
// battles for every pair of red and blue policies, in parallel, and reports
// win shares with confidence intervals, as a table and optionally as CSV,
// JSON and an SVG heat map. Shards of a tournament can run on different
// machines and be merged afterwards.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "Options.h"
#include "Progress.h"
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

struct OutputFile {
    const std::string& path;
    void (*write)(std::ostream&, const TournamentResult&);
    std::unique_ptr<std::ofstream> stream;
};

std::string read_whole(const std::string& path, std::string& text) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return "cannot read " + path + ": a directory";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot read " + path + ": " + std::strerror(errno);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return "cannot read " + path;
    text = buffer.str();
    return "";
}

// Reads the files to merge. One file given twice is refused as such: read
// twice, each of its battles would be reported as a duplicate of itself.
std::string read_merge_inputs(const std::vector<std::string>& paths,
                              std::vector<CsvInput>& inputs) {
    std::map<std::pair<dev_t, ino_t>, std::string> seen;
    for (const std::string& path : paths) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0) {
            const auto [first, fresh] = seen.try_emplace({info.st_dev, info.st_ino}, path);
            if (!fresh && first->second == path) return path + " is given twice";
            if (!fresh) return path + " and " + first->second + " are the same file";
        }
        CsvInput input{path, ""};
        const std::string problem = read_whole(path, input.text);
        if (!problem.empty()) return problem;
        inputs.push_back(std::move(input));
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const int status = parse_options(argc, argv, options, std::cout, std::cerr);
    if (status >= 0) return status;

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
    }

    // Opened before the battles run, so a bad path fails at once.
    OutputFile outputs[] = {{options.csv, write_csv, nullptr},
                            {options.json, write_json, nullptr},
                            {options.svg, write_svg, nullptr}};
    for (OutputFile& o : outputs) {
        if (o.path.empty()) continue;
        o.stream = std::make_unique<std::ofstream>(o.path, std::ios::binary | std::ios::trunc);
        if (!*o.stream) return fail("cannot write " + o.path + ": " + std::strerror(errno));
    }

    if (options.merge.empty()) {
        try {
            const std::vector<BattleJob> jobs = tournament_jobs(result.settings, options.shard);
            std::vector<BattleOutcome> outcomes;
            if (isatty(STDERR_FILENO)) {
                ProgressBar bar(std::cerr, jobs.size());
                outcomes = run_battles(result.settings, jobs, options.threads,
                                       [&bar](std::size_t done) { bar.show(done); });
            } else {
                outcomes = run_battles(result.settings, jobs, options.threads);
            }
            result.records.reserve(jobs.size());
            for (std::size_t i = 0; i < jobs.size(); ++i) {
                result.records.push_back({jobs[i].pair, jobs[i].index, jobs[i].seed,
                                          outcomes[i].result, outcomes[i].steps});
            }
        } catch (const std::bad_alloc&) {
            return fail("out of memory: too many battles or units");
        } catch (const std::length_error&) {
            return fail("out of memory: too many battles or units");
        } catch (const std::system_error& e) {
            return fail(std::string("cannot start the threads: ") + e.what());
        }
        if (options.sharded) {
            const std::uint64_t total = tournament_pairs(result.settings).size() *
                                        static_cast<std::uint64_t>(result.settings.battles);
            std::cout << "shard " << options.shard.k << "/" << options.shard.n << ": "
                      << result.records.size() << " of " << total << " battles\n";
        }
    }

    write_table(std::cout, result);
    std::cout.flush();
    for (OutputFile& o : outputs) {
        if (!o.stream) continue;
        o.write(*o.stream, result);
        o.stream->close();
        if (!*o.stream) return fail("cannot write " + o.path);
    }
    if (!std::cout) return fail("cannot write the table to standard output");
    return 0;
}
