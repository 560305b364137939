// gridbench (and octile-mapgen's scenarios) as a process: its reports, CSV,
// threads, command lines and real benchmark files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <regex>
#include <tuple>

#include "Process.h"

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
const std::string kData = GRIDBENCH_DATA;

// Runs `exe` in `cwd` with `args` split at spaces: no name in these tests has one.
ProcessResult run(const std::string& args, const std::string& cwd = kData,
                  const std::string& exe = GRIDBENCH_EXE) {
    std::vector<std::string> argv = split(args, ' ');
    argv.insert(argv.begin(), exe);
    ProcessOptions options;
    options.working_dir = cwd;
    return run_process(argv, options);
}

// gridbench ends with `status`, its output with `end` and its errors are `err`.
void expectRun(const std::string& args, int status, const std::string& end, const std::string& err,
               const std::string& cwd = kData) {
    const ProcessResult r = run(args, cwd);
    EXPECT_THAT(r.out, EndsWith(end)) << args;
    EXPECT_EQ(std::tuple(r.exit_status, r.err), std::tuple(status, err)) << args;
}

// Field `i` of each CSV row after the header ("-" if it has none), each followed by a space.
std::string column(const std::string& csv, std::size_t i) {
    const std::vector<std::string> rows = split(csv, '\n');
    std::string fields;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string> f = split(rows[r], ',');
        fields += (i < f.size() ? f[i] : "-") + ' ';
    }
    return fields;
}

// The walls scenario's report, from the data folder's parent, with --check
// --no-times: a search's expanded nodes per bucket and in all differ, not its ratios.
std::string wallsTable(const std::string& search, const std::array<const char*, 4>& expanded) {
    std::string table =
        "map data/walls.map (6 x 5), object size 0, 8 queries from data/walls.map.scen" + search +
        R"(
bucket  queries   solved  unreachable    mean_us  median_us     expanded  mean_ratio  max_ratio
     0        3        3            0          -          -           @@     1.00000    1.00000
     1        2        2            0          -          -           @@     1.00205    1.00409
     2        3        1            2          -          -           @@     1.00000    1.00000
 total        8        6            2          -          -           @@     1.00082    1.00409
isConnected alone answered 2 of 8 queries (25.0%) as unreachable
check: 8 answers right, 0 wrong
)";
    for (const char* nodes : expanded) table.replace(table.find("@@"), 2, nodes);
    return table;
}

// Without --search the heading names no search; both gives the exact block first.
TEST(GridbenchCli, ExactTablesForTheWallsScenario) {
    const std::string exact = wallsTable(", exact search", {"14", "19", " 5", "38"});
    const std::string jump = wallsTable(", jump point search", {" 6", " 8", " 3", "17"});
    const std::pair<std::string, std::string> cases[] = {
        {"", wallsTable("", {"14", "19", " 5", "38"})},
        {" --search exact", exact},
        {" --search jump", jump},
        {" --search both", exact + jump}};
    for (const auto& [search, want] : cases) {
        const ProcessResult r =
            run("--scen data/walls.map.scen --check --no-times" + search, kData + "/..");
        EXPECT_EQ(std::tuple(r.exit_status, r.out), std::tuple(0, want)) << search << r.err;
    }
}

// gap.map's gap one cell wide lets only the smallest object through (for
// size 2 the second goal leaves a 3 x 3 object sticking out).
TEST(GridbenchCli, GapScenarioCostsAndTheCsvSearchColumn) {
    TempDir dir;
    const std::string gap = "--scen gap.map.scen --check --csv " + dir.file("c");
    for (const auto& [size, costs] : {std::pair<std::string, std::string>{"0", "884 542 "},
                                      {"1", "-1 542 "},
                                      {"2", "-1 -1 "}}) {
        const ProcessResult r = run(gap + " --search both --size " + size);
        const std::string csv = read_file(dir.file("c"));
        EXPECT_EQ(std::tuple(r.exit_status, column(csv, 8), column(csv, 16)),
                  std::tuple(0, costs + costs, "exact exact jump jump "))
            << "size " << size << '\n'
            << r.out << r.err;
    }
    // The search column is there only with --search.
    for (const auto& [search, names] : {std::pair{"", "- - "}, {" --search jump", "jump jump "}}) {
        ASSERT_EQ(run(gap + search).exit_status, 0) << search;
        const std::string csv = read_file(dir.file("c"));
        EXPECT_EQ(std::tuple(csv.substr(0, csv.find('\n')).ends_with(",check,search"),
                             column(csv, 15), column(csv, 16)),
                  std::tuple(*search != '\0', "right right ", names));
    }
}

// Exact time over jump time, only with both; on rooms the two lie far apart.
TEST(GridbenchCli, SpeedRatioEndsATimedRunOfBothSearches) {
    const std::regex ratioLine(
        "\nexact search ([0-9]+\\.[0-9]{3}) ms, jump point search ([0-9]+\\.[0-9]{3}) ms: "
        "([0-9]+\\.[0-9]{2}) times as fast\n$");
    TempDir dir;
    const std::string rooms = "--kind rooms --width 128 --height 128 --queries 50 --per-start 10";
    ASSERT_EQ(run(rooms + " --seed 3 --out rooms", dir.path(), MAPGEN_EXE).exit_status, 0);
    std::smatch m;
    const std::string jumpOnly = run("--scen rooms.map.scen --search jump", dir.path()).out;
    EXPECT_FALSE(std::regex_search(jumpOnly, m, ratioLine)) << jumpOnly;
    const ProcessResult r = run("--scen rooms.map.scen --search both", dir.path());
    ASSERT_TRUE(std::regex_search(r.out, m, ratioLine)) << r.out << r.err;
    // The printed times are rounded to 0.0005 ms and the ratio to 0.005.
    const double exactMs = std::stod(m[1]), jumpMs = std::stod(m[2]), ratio = std::stod(m[3]);
    ASSERT_GT(jumpMs, 0.0005);
    EXPECT_GE(ratio + 0.005, (exactMs - 0.0005) / (jumpMs + 0.0005)) << m[0];
    EXPECT_LE(ratio - 0.005, (exactMs + 0.0005) / (jumpMs - 0.0005)) << m[0];
}

// Without the times, output and CSV are the same for any number of threads,
// the default's included: random queries of both searches, and a failing check.
TEST(GridbenchCli, ThreadCountChangesNothingButTheTimes) {
    TempDir dir;
    const struct {
        std::string args, verdict;
        std::size_t csvLines;
        int status;
    } runs[] = {{"--map " REPO_MAP " --random 1000 --seed 5 --size 1 --search both",
                 "check: 1000 answers right, 0 wrong\n", 2001, 0},
                {"--scen off.scen", "check: 8 scenario optima disagree", 11, 1}};
    for (const auto& c : runs) {
        const auto outputs = [&](const std::string& threads) {
            const ProcessResult r =
                run(c.args + " --check --no-times --csv " + dir.file("c") + threads);
            return std::tuple(r.exit_status, r.out, r.err, read_file(dir.file("c")));
        };
        const auto one = outputs(" --threads 1");
        EXPECT_THAT(std::get<1>(one), HasSubstr(c.verdict)) << std::get<2>(one);
        EXPECT_EQ(std::tuple(std::get<0>(one), split(std::get<3>(one), '\n').size()),
                  std::tuple(c.status, c.csvLines));
        EXPECT_EQ(outputs(""), one) << c.args;
        EXPECT_EQ(outputs(" --threads 3"), one) << c.args;
    }
}

// On the threads asked for but no more than there are queries; by default on
// the cores the process may run on, one when pinned.
TEST(GridbenchCli, TimedRunsTellTheQueryRateAndTheThreads) {
    cpu_set_t cores;
    ASSERT_EQ(sched_getaffinity(0, sizeof cores, &cores), 0);
    int firstCore = 0;
    while (!CPU_ISSET(firstCore, &cores)) ++firstCore;
    const std::string usable = std::to_string(std::min(CPU_COUNT(&cores), 8));
    const std::string walls = std::string(GRIDBENCH_EXE) + " --scen walls.map.scen";
    const std::pair<std::string, std::string> cases[] = {
        {walls + " --threads 1", "1 thread"},
        {walls + " --threads 3", "3 threads"},
        {walls + " --threads 20", "8 threads"},
        {walls, usable + (usable == "1" ? " thread" : " threads")},
        {"taskset -c " + std::to_string(firstCore) + ' ' + walls, "1 thread"}};
    for (const auto& [command, threads] : cases) {
        const std::vector<std::string> words = split(command, ' ');
        const ProcessResult r = run(command.substr(words[0].size() + 1), kData, words[0]);
        ASSERT_EQ(r.exit_status, 0) << command << '\n' << r.err;
        const std::regex rateLine("expansions per second\n8 queries in ([0-9]+\\.[0-9]{3}) ms on " +
                                  threads + ": ([0-9]+) queries/s\n$");
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.out, m, rateLine)) << command << '\n' << r.out;
        // The rate of the printed time, rounded to 0.0005 ms, rounded to 1.
        const double ms = std::stod(m[1]), rate = std::stod(m[2]);
        ASSERT_GT(ms, 0.0005);
        EXPECT_GE(rate + 0.5, 8 / (ms + 0.0005) * 1000) << m[0];
        EXPECT_LE(rate - 0.5, 8 / (ms - 0.0005) * 1000) << m[0];
    }
}

// The check also fails an optimum outside the band our 142-per-diagonal costs
// allow. Random 3 x 3 objects pass on the same maps (corridors 3 wide).
TEST(GridbenchCli, GeneratedScenariosAgreeWithTheCheck) {
    TempDir dir;
    for (const std::string kind : {"rooms", "maze", "lakes"}) {
        const std::string shape = "--per-start 15 --seed 9 --width 80 --height 56 --corridor 3";
        const ProcessResult gen =
            run(shape + " --queries 120 --kind " + kind + " --out " + kind, dir.path(), MAPGEN_EXE);
        ASSERT_EQ(gen.exit_status, 0) << gen.err;
        expectRun("--check --no-times --scen " + kind + ".map.scen", 0,
                  "isConnected alone answered 0 of 120 queries (0.0%) as unreachable\n"
                  "check: 120 answers right, 0 wrong\n",
                  "", dir.path());
        expectRun("--random 200 --size 2 --check --no-times --map " + kind + ".map", 0,
                  "check: 200 answers right, 0 wrong\n", "", dir.path());
    }
}

// data/off.scen's optima of other rules, twice over: with --check all are
// counted, five shown and the run fails; without, one warning.
TEST(GridbenchCli, OptimaOutsideTheBandAreReported) {
    const std::string off = "gridbench: optimum off: line ";
    expectRun("--scen off.scen --check", 1,
              "check: 10 answers right, 0 wrong\ncheck: 8 scenario optima disagree with our "
              "Dijkstra beyond the band [1, 142/141.42]\n",
              off + "2: optimum 30, cost 500 (ratio 0.16667)\n" + off +
                  "4: optimum 2.82842712, cost 400 (ratio 1.41421)\n" + off +
                  "5: optimum 0.70710678, cost 142 (ratio 2.00818)\n" + off +
                  "6: optimum 3, but no route\n" + off +
                  "7: optimum 30, cost 500 (ratio 0.16667)\ngridbench: optimum off: 3 more\n");
    expectRun("--scen off.scen", 0, "",
              "gridbench: warning: 8 of 10 scenario optima disagree with our costs beyond the "
              "band [1, 142/141.42]; --check lists them\n");
}

// Benchmark sets name maps from their root ("maps/dao/x.map"): from the
// scenario's folder, then the working directory, then by base name beside it.
TEST(GridbenchCli, ScenarioMapIsLookedForWhereBenchmarkSetsKeepIt) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("scen/maps/dao"));
    std::filesystem::create_directories(dir.file("maps/dao"));
    std::ofstream(dir.file("scen/s.scen")) << "version 1\n0\tmaps/dao/w.map\t6\t5\t0\t0\t5\t0\t5\n";
    const std::string places[] = {"scen/maps/dao/w.map", "maps/dao/w.map", "scen/w.map"};
    for (const std::string& place : places)
        std::filesystem::copy_file(kData + "/walls.map", dir.file(place));
    for (const std::string& place : places) {
        const ProcessResult r = run("--scen scen/s.scen --no-times", dir.path());
        EXPECT_EQ(
            std::tuple(r.exit_status, split(r.out, '\n').at(0)),
            std::tuple(0, "map " + place + " (6 x 5), object size 0, 1 queries from scen/s.scen"))
            << r.err;
        std::filesystem::remove(dir.file(place));
    }
    const ProcessResult none = run("--scen scen/s.scen", dir.path());
    EXPECT_EQ(std::tuple(none.exit_status, none.err),
              std::tuple(2,
                         "gridbench: Cannot find the map maps/dao/w.map of scen/s.scen: tried "
                         "scen/maps/dao/w.map, maps/dao/w.map, scen/w.map\n"));
    const ProcessResult beside = run("--scen printed.scen --no-times");
    EXPECT_EQ(split(beside.out, '\n').at(0),
              "map walls.map (6 x 5), object size 0, 5 queries from printed.scen");
}

// "1.41421" for sqrt 2, as lak503d has, is exact; one wrong in its last place but one is not.
TEST(GridbenchCli, OptimaAreComparedToThePlacesTheyArePrintedTo) {
    expectRun("--scen printed.scen --check --no-times", 1,
              "check: 5 answers right, 0 wrong\ncheck: 2 scenario optima disagree with our "
              "Dijkstra beyond the band [1, 142/141.42]\n",
              "gridbench: optimum off: line 5: optimum 1.41412, cost 142 (ratio 1.00416)\n"
              "gridbench: optimum off: line 6: optimum 1.41421, cost 200 (ratio 1.41422)\n");
    const std::string lak = std::string(SHARED_MAPS) + "/lak503d.map.scen";
    if (!std::filesystem::exists(lak)) GTEST_SKIP() << lak << " is not there";
    expectRun("--check --no-times --scen " + lak, 0, "check: 1240 answers right, 0 wrong\n", "");
}

// The optima are for 1x1 objects: gap's second query has a route at size 1.
TEST(GridbenchCli, LargerObjectsGetNoOptimumRatios) {
    TempDir dir;
    const ProcessResult r =
        run("--scen gap.map.scen --size 1 --check --no-times --csv " + dir.file("c"));
    EXPECT_EQ(std::tuple(r.exit_status, r.err), std::tuple(0, ""));
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 7u) << r.out;
    EXPECT_EQ(lines[1], "no optimum ratios: the scenario's optima are for 1x1 objects, not 2x2");
    EXPECT_THAT(lines[3], EndsWith("          -          -"));
    EXPECT_THAT(lines[4], EndsWith("          -          -"));
    EXPECT_EQ(lines[6], "check: 2 answers right, 0 wrong");
    const std::string csv = read_file(dir.file("c"));
    EXPECT_EQ(std::tuple(column(csv, 8), column(csv, 10), column(csv, 11), column(csv, 15)),
              std::tuple("-1 542 ", "  ", "  ", "right right "));
}

// Bad command lines: nothing on standard output, the exact error and status 2.
TEST(Cli, RefusalsGiveTheirExactErrorAndExitStatus) {
    const ProcessResult help = run("--help");
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_THAT(help.out, HasSubstr("--scen"));
    TempDir dir;
    std::ofstream(dir.file("short.scen")) << "version 1\n0\twalls.map\t6\t5\n";
    const std::string walls = "--scen " + kData + "/walls.map.scen ";
    const std::string kHelp = "\nRun with --help for more information.\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "give --scen FILE, or --map FILE with --random N" + kHelp},
        {walls + "--size 3", "--size: Value 3 not in range 0 to 2" + kHelp},
        {walls + "--search foo", "--search: foo not in {exact,jump,both}" + kHelp},
        {walls + "--map m.map --random 5", "--scen excludes --random" + kHelp},
        {walls + "--threads 0", "--threads: 0 is not a whole number from 1 to 1024" + kHelp},
        {walls + "--threads -2", "--threads: -2 is not a whole number from 1 to 1024" + kHelp},
        {walls + "--threads two", "--threads: two is not a whole number from 1 to 1024" + kHelp},
        {"--scen short.scen",
         "gridbench: Cannot read short.scen: line 2: expected 9 fields, found 4\n"}};
    for (const auto& [args, err] : cases) {
        const ProcessResult r = run(args, dir.path());
        EXPECT_EQ(std::tuple(r.exit_status, r.out, r.err), std::tuple(2, "", err)) << args;
    }
}

}  // namespace
