// gridbench's files: refusals, "-" for standard output, the JSON summary, progress.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <tuple>

#include "Process.h"

namespace {

const std::string kData = GRIDBENCH_DATA;

// A FIFO nobody opens would block a writer or reader for ever: the limit.
ProcessResult gridbench(std::vector<std::string> args, const std::string& cwd = kData) {
    args.insert(args.begin(), GRIDBENCH_EXE);
    ProcessOptions options;
    options.working_dir = cwd;
    options.timeout_ms = 20000;
    return run_process(args, options);
}

// Each command line, in `cwd` after `before`, is refused with status 2 and no output but a report.
void expectRefusals(const std::string& cwd, const std::vector<std::string>& before,
                    const std::vector<std::pair<std::vector<std::string>, std::string>>& cases) {
    for (const auto& [args, err] : cases) {
        std::vector<std::string> argv = before;
        argv.insert(argv.end(), args.begin(), args.end());
        const ProcessResult r = gridbench(argv, cwd);
        const std::string out = args.back() == "/dev/full" ? r.out : "";
        EXPECT_EQ(std::tuple(r.timed_out, r.exit_status, r.out, r.err),
                  std::tuple(false, 2, out, "gridbench: " + err + "\n"));
    }
}

// None of them touches the old output file or leaves a new one.
TEST(GridbenchFiles, RefusalsLeaveEveryFileAsItWas) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::ofstream(dir.file("old")) << "old\n";
    for (const std::string name : {"walls.map", "walls.map.scen"})
        std::filesystem::copy_file(kData + "/" + name, dir.file(name));
    expectRefusals(dir.path(), {},
                   {{{"--scen", "fifo"}, "Cannot read fifo: not a regular file"},
                    {{"--scen", "."}, "Cannot read .: is a directory"},
                    {{"--scen", ""}, "--scen: empty file name"}});
    expectRefusals(
        dir.path(), {"--scen", "walls.map.scen", "--no-times"},
        {{{"--csv", "fifo"}, "Cannot write fifo: not a regular file"},
         {{"--csv", "old", "--json", "."}, "Cannot write .: is a directory"},
         {{"--csv", "old", "--json", "./old"}, "--csv old and --json ./old are the same file"},
         {{"--csv", "walls.map.scen"}, "--scen and --csv both name walls.map.scen"},
         {{"--json", "walls.map"},
          "the scenario's map walls.map and --json walls.map are the same file"},
         {{"--csv", "-", "--json", "-"}, "--csv and --json both write to standard output"},
         {{"--csv", "old", "--json", "/dev/full"},
          "Cannot write /dev/full: no space left on device"}});
    EXPECT_EQ(read_file(dir.file("old")), "old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

// "-" puts the file alone on standard output, byte for byte; messages stay on standard error.
TEST(GridbenchFiles, DashWritesTheFileToStandardOutput) {
    TempDir dir;
    for (const std::string option : {"--csv", "--json"}) {
        const std::string args = "--scen off.scen --check --no-times " + option + ' ';
        const ProcessResult toFile = gridbench(split(args + dir.file("f"), ' '));
        const ProcessResult toOut = gridbench(split(args + "-", ' '));
        EXPECT_EQ(std::tuple(toOut.exit_status, toOut.out, toOut.err),
                  std::tuple(1, read_file(dir.file("f")), toFile.err));
    }
    EXPECT_FALSE(std::filesystem::exists(kData + "/-"));
}

// The printed report rebuilt from the JSON file alone, with nulls where the text has "-".
const char* const kReportFromJson = R"(
import json, sys
d, threads = json.load(open(sys.argv[1])), sys.argv[2]
f = lambda pattern, value: '-' if value is None else pattern % value
titles = {'exact': 'exact search', 'jump': 'jump point search'}
for s in d['searches']:
    print('map %s (%d x %d), object size %d, %d queries from %s, %s' % (d['map'], d['width'],
          d['height'], d['size'], d['queries'], d['scenario'], titles[s['search']]))
    print('%6s %8s %8s %12s %10s %10s %12s %11s %10s' % ('bucket', 'queries', 'solved',
          'unreachable', 'mean_us', 'median_us', 'expanded', 'mean_ratio', 'max_ratio'))
    for b in s['buckets'] + [s['total']]:
        print('%6s %8d %8d %12d %10s %10s %12d %11s %10s' % (
            'total' if b['bucket'] is None else b['bucket'], b['queries'], b['solved']['count'],
            b['unreachable'], f('%.2f', b['mean_us']), f('%.2f', b['median_us']), b['expanded'],
            f('%.5f', b['mean_ratio']), f('%.5f', b['max_ratio'])))
    t = s['total']
    print('isConnected alone answered %d of %d queries (%.1f%%) as unreachable' % (
          t['refused_by_connectivity']['count'], t['queries'],
          100 * t['refused_by_connectivity']['rate']))
    if d['timed']:
        print('time in queries: %.3f ms, %s expansions per second' % (
              s['time_in_queries_us'] / 1000, f('%.0f', s['expansions_per_second'])))
        print('%d queries in %.3f ms on %s threads: %s queries/s' % (
              d['queries'], s['wall_us'] / 1000, threads, f('%.0f', s['queries_per_second'])))
    print('check: %d answers right, %d wrong' % (t['right'], t['wrong']))
    if s['optima_off']:
        print('check: %d scenario optima disagree with our Dijkstra beyond the band '
              '[1, 142/141.42]' % s['optima_off'])
if d['speed_ratio'] is not None:
    exact, jump = (s['time_in_queries_us'] / 1000 for s in d['searches'])
    print('exact search %.3f ms, jump point search %.3f ms: %.2f times as fast' % (
          exact, jump, d['speed_ratio']))
)";

TEST(GridbenchFiles, JsonSummaryHoldsThePrintedReport) {
    TempDir dir;
    const std::string args = " --search both --threads 2 --check --json " + dir.file("j");
    for (const std::string scenario : {"walls.map.scen", "off.scen"}) {
        for (const std::string times : {"", " --no-times"}) {
            const ProcessResult r = gridbench(split("--scen " + scenario + args + times, ' '));
            ASSERT_LE(r.exit_status, 1) << r.err;
            const ProcessResult rebuilt =
                run_process({"python3", "-c", kReportFromJson, dir.file("j"), "2"});
            EXPECT_EQ(std::tuple(rebuilt.out, rebuilt.err), std::tuple(r.out, ""))
                << scenario << times;
        }
    }
}

// Without the times, any number of threads writes the same JSON; with them, only the times differ.
TEST(GridbenchFiles, JsonDiffersOnlyInItsTimes) {
    TempDir dir;
    const std::regex timeField(
        R"re(("(mean_us|median_us|total_us|microseconds|time_in_queries_us|expansions_per_second|wall_us|queries_per_second|speed_ratio)": )[^,}\n]+)re");
    const std::string args = "--map " REPO_MAP " --random 300 --search both --check --json j";
    std::string untimed;
    for (const std::string threads : {"1", "3"}) {
        for (const std::string times : {" --no-times", ""}) {
            const auto r =
                gridbench(split(args + " --threads " + threads + times, ' '), dir.path());
            ASSERT_EQ(r.exit_status, 0) << r.err;
            std::string json = read_file(dir.file("j"));
            if (times.empty()) {
                EXPECT_EQ(json.find("\"wall_us\": null"), std::string::npos) << json;
                json = std::regex_replace(json, timeField, "$1null");
                json = std::regex_replace(json, std::regex("\"timed\": true"), "\"timed\": false");
            }
            if (untimed.empty()) untimed = json;
            EXPECT_EQ(json, untimed) << "threads " << threads << times;
        }
    }
}

// Shown in place once a run has taken a second, wiped at the end.
TEST(GridbenchFiles, ProgressOnlyOnATerminal) {
    TempDir dir;
    ProcessOptions options;
    options.working_dir = dir.path();
    options.timeout_ms = 300000;
    const std::string mapgen =
        MAPGEN_EXE " --kind maze --width 512 --height 512 --queries 10 --out maze";
    ASSERT_EQ(run_process(split(mapgen, ' '), options).exit_status, 0);
    const std::string run =
        GRIDBENCH_EXE " --map maze.map --random 500 --check --threads 1 --no-times";
    const auto begin = std::chrono::steady_clock::now();
    const ProcessResult piped = run_process(split(run, ' '), options);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    ASSERT_EQ(std::tuple(piped.exit_status, piped.err), std::tuple(0, ""));
    const ProcessResult pty = run_process({"script", "-qec", run + " >out", "/dev/null"}, options);
    ASSERT_EQ(pty.exit_status, 0) << pty.out << pty.err;
    EXPECT_EQ(read_file(dir.file("out")), piped.out);
    // The line needs a run of over a second, which a much faster machine might not take.
    if (took.count() < 1.5) GTEST_SKIP() << "the run took only " << took.count() << " s";
    EXPECT_TRUE(std::regex_match(
        pty.out,
        std::regex(R"((\r[0-9]+/500 queries(, [0-9.]+ per second, [0-9a-z ]+ left)? *)+\r +\r)")))
        << pty.out;
    EXPECT_NE(pty.out.find(" left"), std::string::npos) << pty.out;
}

}  // namespace
