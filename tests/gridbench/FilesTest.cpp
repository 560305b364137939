// gridbench's files as a process sees them: outputs and inputs that cannot
// be used refused before anything is written and without blocking, "-" for
// standard output, the JSON summary against the printed report, and the
// progress line, which only a terminal gets.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "Process.h"

namespace {

const std::string kData = GRIDBENCH_DATA;
const std::string kWalls = kData + "/walls.map.scen";

// A FIFO nobody opens would block a writer or reader for ever: the limit.
ProcessResult gridbench(std::vector<std::string> args, const std::string& cwd = kData) {
    args.insert(args.begin(), GRIDBENCH_EXE);
    ProcessOptions options;
    options.working_dir = cwd;
    options.timeout_ms = 20000;
    return run_process(args, options);
}

std::vector<std::string> plus(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Each refusal comes at once with its one line and status 2, standard output
// untouched, and leaves the old output file as it was: FIFOs, folders and
// devices as inputs, FIFOs and folders as outputs, empty names, one file
// twice (the scenario's map included), two outputs on standard output, and a
// device that fails when written (/dev/full), with the system's reason.
TEST(GridbenchFiles, RefusalsLeaveEveryFileAsItWas) {
    TempDir dir;
    const std::string fifo = dir.file("fifo"), old = dir.file("old.csv");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(old) << "old\n";
    const std::vector<std::string> walls{"--scen", kWalls, "--no-times"};
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {plus(walls, {"--csv", fifo}), "Cannot write " + fifo + ": not a regular file"},
        {plus(walls, {"--json", fifo}), "Cannot write " + fifo + ": not a regular file"},
        {plus(walls, {"--csv", old, "--json", dir.path()}),
         "Cannot write " + dir.path() + ": is a directory"},
        {{"--scen", fifo}, "Cannot read " + fifo + ": not a regular file"},
        {{"--scen", dir.path()}, "Cannot read " + dir.path() + ": is a directory"},
        {{"--map", fifo, "--random", "5"}, "Cannot read " + fifo + ": not a regular file"},
        {plus(walls, {"--map", "/dev/zero"}), "Cannot read /dev/zero: not a regular file"},
        {plus(walls, {"--csv", ""}), "--csv: empty file name"},
        {plus(walls, {"--csv", old, "--json", ""}), "--json: empty file name"},
        {{"--scen", ""}, "--scen: empty file name"},
        {plus(walls, {"--csv", old, "--json", old}), "--csv and --json both name " + old},
        {plus(walls, {"--csv", old, "--json", dir.path() + "/./old.csv"}),
         "--csv " + old + " and --json " + dir.path() + "/./old.csv are the same file"},
        {plus(walls, {"--csv", kWalls}), "--scen and --csv both name " + kWalls},
        {plus(walls, {"--json", kData + "/walls.map"}), "the scenario's map " + kData +
                                                            "/walls.map and --json " + kData +
                                                            "/walls.map are the same file"},
        {plus(walls, {"--csv", "-", "--json", "-"}),
         "--csv and --json both write to standard output"},
        {plus(walls, {"--csv", old, "--json", "/dev/full"}),
         "Cannot write /dev/full: no space left on device"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = gridbench(c.args);
        const std::string what = c.args.back();
        ASSERT_FALSE(r.timed_out) << what;
        EXPECT_EQ(r.exit_status, 2) << what;
        EXPECT_EQ(r.err, "gridbench: " + c.err + "\n") << what;
        // Only /dev/full is found out after the run, whose report stands.
        if (what != "/dev/full") {
            EXPECT_EQ(r.out, "") << what;
        }
        EXPECT_EQ(read_file(old), "old\n") << what;
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"fifo", "old.csv"}));
}

// "-" puts the file on standard output, alone, byte for byte what it would
// write to a file; messages stay on standard error.
TEST(GridbenchFiles, DashWritesTheFileToStandardOutput) {
    TempDir dir;
    for (const std::string option : {"--csv", "--json"}) {
        const std::vector<std::string> args{"--scen", "off.scen", "--check", "--no-times", option};
        const ProcessResult toFile = gridbench(plus(args, {dir.file("f")}));
        const ProcessResult toOut = gridbench(plus(args, {"-"}));
        EXPECT_EQ(toOut.exit_status, 1) << option;
        EXPECT_EQ(toOut.out, read_file(dir.file("f"))) << option;
        EXPECT_EQ(toOut.out.substr(0, 1), option == "--csv" ? "q" : "{") << toOut.out;
        EXPECT_EQ(toOut.err, toFile.err) << option;
        EXPECT_FALSE(std::filesystem::exists(kData + "/-"));
    }
}

// The text report rebuilt from the JSON file alone is the printed one: the
// summary holds every figure of it unrounded (times, ratios, shares, the
// check's verdicts and the optima off the band), with nulls where the text
// has "-".
const char* const kReportFromJson = R"(
import json, sys
d = json.load(open(sys.argv[1]))
threads = sys.argv[2]
def f(pattern, value):
    return '-' if value is None else pattern % value
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
    for (const std::string& scenario : {std::string("walls.map.scen"), std::string("off.scen")}) {
        for (const std::string times : {"", "--no-times"}) {
            std::vector<std::string> args{"--scen",    scenario, "--check", "--search",   "both",
                                          "--threads", "2",      "--json",  dir.file("j")};
            if (!times.empty()) args.push_back(times);
            const ProcessResult r = gridbench(args);
            ASSERT_LE(r.exit_status, 1) << r.err;
            const ProcessResult rebuilt =
                run_process({"python3", "-c", kReportFromJson, dir.file("j"), "2"});
            EXPECT_EQ(rebuilt.err, "");
            EXPECT_EQ(rebuilt.out, r.out) << scenario << ' ' << times;
        }
    }
}

// Without the times, runs on any number of threads write the same JSON byte
// for byte; with them, the time fields are all that differ.
TEST(GridbenchFiles, JsonDiffersOnlyInItsTimes) {
    TempDir dir;
    const std::regex timeField(
        R"re(("(mean_us|median_us|total_us|microseconds|time_in_queries_us|expansions_per_second|wall_us|queries_per_second|speed_ratio)": )[^,}\n]+)re");
    std::string untimed;
    for (const std::string threads : {"1", "3"}) {
        for (const bool times : {false, true}) {
            std::vector<std::string> args{"--map",    REPO_MAP, "--random",   "300",
                                          "--search", "both",   "--check",    "--threads",
                                          threads,    "--json", dir.file("j")};
            if (!times) args.push_back("--no-times");
            ASSERT_EQ(gridbench(args).exit_status, 0);
            std::string json = read_file(dir.file("j"));
            if (times) {
                EXPECT_EQ(json.find("\"wall_us\": null"), std::string::npos) << json;
                json = std::regex_replace(json, timeField, "$1null");
                json = std::regex_replace(json, std::regex("\"timed\": true"), "\"timed\": false");
            }
            if (untimed.empty()) untimed = json;
            EXPECT_EQ(json, untimed) << "threads " << threads << ", times " << times;
        }
    }
}

// Standard error that is a terminal shows "D/T queries, R per second, S s
// left" in place once the run has taken a second, wiped at the end; a pipe
// never sees it. Both runs take seconds: random queries checked on one thread.
TEST(GridbenchFiles, ProgressOnlyOnATerminal) {
    TempDir dir;
    ProcessOptions options;
    options.working_dir = dir.path();
    ASSERT_EQ(run_process({MAPGEN_EXE, "--kind", "maze", "--width", "512", "--height", "512",
                           "--queries", "10", "--out", "maze"},
                          options)
                  .exit_status,
              0);
    const std::vector<std::string> args{GRIDBENCH_EXE, "--map",     "maze.map", "--random",  "500",
                                        "--check",     "--threads", "1",        "--no-times"};
    const auto begin = std::chrono::steady_clock::now();
    const ProcessResult piped = run_process(args, options);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
    ASSERT_EQ(piped.exit_status, 0) << piped.err;
    EXPECT_EQ(piped.err, "");

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::string terminal;
    {
        BackgroundProcess child(args, options, dir.file("out"), ptsname(master));
        // Read all along, so that a full terminal never stops the child.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        for (;;) {
            pollfd p{master, POLLIN, 0};
            char chunk[4096];
            const ssize_t n = poll(&p, 1, 100) > 0 ? read(master, chunk, sizeof chunk) : 0;
            if (n > 0) terminal.append(chunk, std::size_t(n));
            if (n <= 0 && !child.running()) break;
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        }
        EXPECT_EQ(child.exit_status(), 0);
    }
    close(master);
    EXPECT_EQ(read_file(dir.file("out")), piped.out);
    // The line needs a run of over a second, which a much faster machine might not take.
    if (took.count() < 1.5) GTEST_SKIP() << "the run took only " << took.count() << " s";
    const std::regex progress(
        R"((\r[0-9]+/500 queries(, [0-9.]+ per second, [0-9a-z ]+ left)? *)+\r +\r)");
    EXPECT_TRUE(std::regex_match(terminal, progress)) << terminal;
    EXPECT_NE(terminal.find(" left"), std::string::npos) << terminal;
}

}  // namespace
