// gridbench and octile-mapgen as processes: answers and the exact tables of
// both searches for the hand-written scenarios, the CSV's search column, the
// speed ratio, the same results on any number of threads and the query rate,
// help and bad command lines, generated scenarios checked end to end, and
// real benchmark files: maps named from the set's root, optima printed to a
// few places, and scenarios run for larger objects.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <tuple>

#include "Process.h"

namespace {

using ::testing::EndsWith;
const std::string kData = GRIDBENCH_DATA;
const std::string kHelp = "Run with --help for more information.\n";

// Runs `exe` in `cwd` with `args` split at spaces: no name in these tests has one.
ProcessResult run(const std::string& exe, const std::string& args, const std::string& cwd) {
    std::vector<std::string> argv = split(args, ' ');
    argv.insert(argv.begin(), exe);
    ProcessOptions options;
    options.working_dir = cwd;
    return run_process(argv, options);
}

// The walls scenario's heading, run from the data folder's parent, and its
// table from each search with --check --no-times: the same costs, so the same
// ratios, from different work.
const std::string kWallsHeading =
    "map data/walls.map (6 x 5), object size 0, 8 queries from data/walls.map.scen";
const std::string kWallsExactTable =
    R"(bucket  queries   solved  unreachable    mean_us  median_us     expanded  mean_ratio  max_ratio
     0        3        3            0          -          -           14     1.00000    1.00000
     1        2        2            0          -          -           19     1.00205    1.00409
     2        3        1            2          -          -            5     1.00000    1.00000
 total        8        6            2          -          -           38     1.00082    1.00409
isConnected alone answered 2 of 8 queries (25.0%) as unreachable
check: 8 answers right, 0 wrong
)";
const std::string kWallsJumpTable =
    R"(bucket  queries   solved  unreachable    mean_us  median_us     expanded  mean_ratio  max_ratio
     0        3        3            0          -          -            6     1.00000    1.00000
     1        2        2            0          -          -            8     1.00205    1.00409
     2        3        1            2          -          -            3     1.00000    1.00000
 total        8        6            2          -          -           17     1.00082    1.00409
isConnected alone answered 2 of 8 queries (25.0%) as unreachable
check: 8 answers right, 0 wrong
)";

// Started from another folder, it must find the map beside the scenario.
// Without --search the heading names no search; with it, every block's
// heading names its own, and both prints the exact block, then the jump one.
TEST(GridbenchCli, ExactTablesForTheWallsScenario) {
    const std::string exact = kWallsHeading + ", exact search\n" + kWallsExactTable;
    const std::string jump = kWallsHeading + ", jump point search\n" + kWallsJumpTable;
    const std::pair<std::string, std::string> cases[] = {
        {"", kWallsHeading + "\n" + kWallsExactTable},
        {" --search exact", exact},
        {" --search jump", jump},
        {" --search both", exact + jump},
    };
    for (const auto& [search, want] : cases) {
        const ProcessResult r = run(
            GRIDBENCH_EXE, "--scen data/walls.map.scen --check --no-times" + search, kData + "/..");
        EXPECT_EQ(r.exit_status, 0) << search << '\n' << r.err;
        EXPECT_EQ(r.out, want) << search;
    }
}

// gap.map: a wall across the map with a gap one cell wide, so only the
// smallest object gets through. The walls.map costs are pinned by the exact
// tables: their check against the reference search and their ratios to the
// optima. Both searches must give the same costs, and pass the check.
TEST(GridbenchCli, KnownCostsOnTheGapScenario) {
    TempDir dir;
    for (const std::string search : {"exact", "jump"}) {
        // For size 2 the second goal leaves a 3 x 3 object sticking out.
        for (const auto& [size, want] :
             {std::pair{"0", "884 542 "}, {"1", "-1 542 "}, {"2", "-1 -1 "}}) {
            const ProcessResult r = run(GRIDBENCH_EXE,
                                        "--scen gap.map.scen --check --csv " + dir.file("c.csv") +
                                            " --size " + size + " --search " + search,
                                        kData);
            // 1 when the check finds a wrong answer
            EXPECT_EQ(r.exit_status, 0) << search << '\n' << r.out << r.err;
            const std::vector<std::string> rows = split(read_file(dir.file("c.csv")), '\n');
            std::string costs;
            for (std::size_t i = 1; i < rows.size(); ++i) costs += split(rows[i], ',').at(8) + ' ';
            EXPECT_EQ(costs, want) << search << " search, size " << size;
        }
    }
}

// The CSV's last column, there only with --search, names the search that
// answered each row; with both, the exact rows come first.
TEST(GridbenchCli, CsvSearchColumnNamesTheSearchOfEachRow) {
    TempDir dir;
    for (const auto& [search, want] : {std::pair{"", ""},
                                       {" --search jump", "jjjjjjjj"},
                                       {" --search both", "eeeeeeeejjjjjjjj"}}) {
        const ProcessResult r = run(
            GRIDBENCH_EXE,
            "--scen walls.map.scen --check --no-times --csv " + dir.file("c.csv") + search, kData);
        ASSERT_EQ(r.exit_status, 0) << search << '\n' << r.err;
        const std::vector<std::string> rows = split(read_file(dir.file("c.csv")), '\n');
        ASSERT_FALSE(rows.empty()) << search;
        EXPECT_EQ(rows[0].ends_with(",check,search"), *search != '\0') << rows[0];
        std::string searches;  // the first letter of each row's search
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const std::vector<std::string> fields = split(rows[i], ',');
            if (*search == '\0')
                EXPECT_EQ(fields.size(), 16u) << rows[i];
            else
                searches += fields.back().substr(0, 1);
        }
        EXPECT_EQ(searches, want) << search;
    }
}

// A timed run of both searches ends with their total times and the ratio of
// the exact one to the jump one; a run of one search has no such line. On
// rooms the two times lie far apart, so a ratio the wrong way round shows.
TEST(GridbenchCli, SpeedRatioEndsATimedRunOfBothSearches) {
    const std::regex ratioLine(
        "\nexact search ([0-9]+\\.[0-9]{3}) ms, jump point search ([0-9]+\\.[0-9]{3}) ms: "
        "([0-9]+\\.[0-9]{2}) times as fast\n$");
    TempDir dir;
    ASSERT_EQ(run(MAPGEN_EXE,
                  "--kind rooms --width 128 --height 128 --queries 50 --per-start 10 --seed 3 "
                  "--out rooms",
                  dir.path())
                  .exit_status,
              0);
    std::smatch m;
    const std::string jumpOnly =
        run(GRIDBENCH_EXE, "--scen rooms.map.scen --search jump", dir.path()).out;
    EXPECT_FALSE(std::regex_search(jumpOnly, m, ratioLine)) << jumpOnly;
    const ProcessResult r = run(GRIDBENCH_EXE, "--scen rooms.map.scen --search both", dir.path());
    ASSERT_TRUE(std::regex_search(r.out, m, ratioLine)) << r.out << r.err;
    // The ratio of the printed times, each rounded to 0.0005 ms, and the
    // ratio rounded to 0.005.
    const double exactMs = std::stod(m[1]), jumpMs = std::stod(m[2]), ratio = std::stod(m[3]);
    ASSERT_GT(jumpMs, 0.0005);
    EXPECT_GE(ratio + 0.005, (exactMs - 0.0005) / (jumpMs + 0.0005)) << m[0];
    EXPECT_LE(ratio - 0.005, (exactMs + 0.0005) / (jumpMs - 0.0005)) << m[0];
}

// The threads share the queries out, but everything is kept and printed in
// query order: without the times, the output and the CSV of a checked run
// are the same for any number of threads, the default's included. Random
// queries of both searches on the repository's map, and the off scenario's
// failing check.
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
        std::string want, wantErr, wantCsv;
        for (const std::string threads : {" --threads 1", "", " --threads 3"}) {
            const ProcessResult r =
                run(GRIDBENCH_EXE,
                    c.args + " --check --no-times --csv " + dir.file("c.csv") + threads, kData);
            const std::string csv = read_file(dir.file("c.csv"));
            if (want.empty()) {
                ASSERT_THAT(r.out, ::testing::HasSubstr(c.verdict)) << r.err;
                ASSERT_EQ(split(csv, '\n').size(), c.csvLines) << c.args;
                std::tie(want, wantErr, wantCsv) = std::tie(r.out, r.err, csv);
            }
            EXPECT_EQ(r.exit_status, c.status) << c.args << threads;
            EXPECT_EQ(r.out, want) << c.args << threads;
            EXPECT_EQ(r.err, wantErr) << c.args << threads;
            EXPECT_EQ(csv, wantCsv) << c.args << threads;
        }
    }
}

// A timed run tells the wall-clock time of all its queries and how many it
// answered per second, on the threads asked for but no more than there are
// queries; by default on the cores the process may run on, one when pinned.
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
        {"taskset -c " + std::to_string(firstCore) + ' ' + walls, "1 thread"},
    };
    for (const auto& [command, threads] : cases) {
        const std::vector<std::string> words = split(command, ' ');
        const ProcessResult r = run(words[0], command.substr(words[0].size() + 1), kData);
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

TEST(GridbenchCli, HelpNamesTheOptions) {
    const ProcessResult help = run(GRIDBENCH_EXE, "--help", kData);
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_THAT(help.out, ::testing::HasSubstr("--scen"));
}

// Generated scenarios pass the check, which also fails the run on an optimum
// outside the band our 142-per-diagonal costs allow. Random queries of a 3 x 3
// object on the same map (the maze gets corridors 3 wide for it) must pass the
// check too, unreachable ones included.
TEST(GridbenchCli, GeneratedScenariosAgreeWithTheCheck) {
    TempDir dir;
    for (const std::string kind : {"rooms", "maze", "lakes"}) {
        const std::string shape = " --width 80 --height 56 --corridor 3 --queries 120";
        const ProcessResult gen =
            run(MAPGEN_EXE, "--per-start 15 --seed 9 --kind " + kind + " --out " + kind + shape,
                dir.path());
        ASSERT_EQ(gen.exit_status, 0) << gen.err;
        // Every generated query has a route.
        const ProcessResult r =
            run(GRIDBENCH_EXE, "--check --no-times --scen " + kind + ".map.scen", dir.path());
        EXPECT_EQ(r.exit_status, 0) << r.err;
        EXPECT_THAT(r.out, EndsWith("isConnected alone answered 0 of 120 queries (0.0%) as "
                                    "unreachable\ncheck: 120 answers right, 0 wrong\n"))
            << kind;
        const ProcessResult random =
            run(GRIDBENCH_EXE, "--random 200 --size 2 --check --no-times --map " + kind + ".map",
                dir.path());
        EXPECT_THAT(random.out, ::testing::HasSubstr("check: 200 answers right, 0 wrong\n"))
            << random.err;
    }
}

// data/off.scen asks on walls.map, twice over, for optima of other rules
// (shown as printed):
// costs 500, 500, 400, 142 and no route against an optimum 6 times too long, an
// exact one, one that cuts through the wall, one that takes a diagonal for half
// of one, and a length for a pair with no route. With --check every optimum
// outside [1, 142/141.42] of our Dijkstra's cost is counted, the first five
// shown, and the run fails; without --check one warning, and the run passes.
TEST(GridbenchCli, OptimaOutsideTheBandAreReported) {
    const ProcessResult checked = run(GRIDBENCH_EXE, "--scen off.scen --check", kData);
    EXPECT_EQ(checked.exit_status, 1);
    EXPECT_THAT(checked.out, EndsWith("check: 10 answers right, 0 wrong\n"
                                      "check: 8 scenario optima disagree with our Dijkstra beyond "
                                      "the band [1, 142/141.42]\n"));
    EXPECT_EQ(checked.err,
              "gridbench: optimum off: line 2: optimum 30, cost 500 (ratio 0.16667)\n"
              "gridbench: optimum off: line 4: optimum 2.82842712, cost 400 (ratio 1.41421)\n"
              "gridbench: optimum off: line 5: optimum 0.70710678, cost 142 (ratio 2.00818)\n"
              "gridbench: optimum off: line 6: optimum 3, but no route\n"
              "gridbench: optimum off: line 7: optimum 30, cost 500 (ratio 0.16667)\n"
              "gridbench: optimum off: 3 more\n");

    const ProcessResult unchecked = run(GRIDBENCH_EXE, "--scen off.scen", kData);
    EXPECT_EQ(unchecked.exit_status, 0);
    EXPECT_EQ(unchecked.err,
              "gridbench: warning: 8 of 10 scenario optima disagree with our costs beyond the "
              "band [1, 142/141.42]; --check lists them\n");
}

// Benchmark sets name their maps from their own root ("maps/dao/x.map"):
// the map is looked for from the scenario's folder, then from the working
// directory, then by its base name beside the scenario, and the heading names
// the one taken. data/printed.scen names data/walls.map that way.
TEST(GridbenchCli, ScenarioMapIsLookedForWhereBenchmarkSetsKeepIt) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("scen/maps/dao"));
    std::filesystem::create_directories(dir.file("maps/dao"));
    std::ofstream(dir.file("scen/s.scen")) << "version 1\n0\tmaps/dao/w.map\t6\t5\t0\t0\t5\t0\t5\n";
    const std::string places[] = {"scen/maps/dao/w.map", "maps/dao/w.map", "scen/w.map"};
    for (const std::string& place : places)
        std::filesystem::copy_file(kData + "/walls.map", dir.file(place));
    for (const std::string& place : places) {
        const ProcessResult r = run(GRIDBENCH_EXE, "--scen scen/s.scen --no-times", dir.path());
        EXPECT_EQ(r.exit_status, 0) << r.err;
        EXPECT_EQ(split(r.out, '\n').at(0),
                  "map " + place + " (6 x 5), object size 0, 1 queries from scen/s.scen");
        std::filesystem::remove(dir.file(place));
    }
    const ProcessResult none = run(GRIDBENCH_EXE, "--scen scen/s.scen", dir.path());
    EXPECT_EQ(none.exit_status, 2);
    EXPECT_EQ(none.err,
              "gridbench: Cannot find the map maps/dao/w.map of scen/s.scen: tried "
              "scen/maps/dao/w.map, maps/dao/w.map, scen/w.map\n");
    const ProcessResult beside = run(GRIDBENCH_EXE, "--scen printed.scen --no-times", kData);
    EXPECT_EQ(split(beside.out, '\n').at(0),
              "map walls.map (6 x 5), object size 0, 5 queries from printed.scen");
}

// Scenarios print their optima to some places ("1.41421" for sqrt 2, as
// lak503d does): an exact cost is never off the band for that, a wrong
// optimum still is, even one wrong in its last place but one.
TEST(GridbenchCli, OptimaAreComparedToThePlacesTheyArePrintedTo) {
    const ProcessResult r = run(GRIDBENCH_EXE, "--scen printed.scen --check --no-times", kData);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_THAT(r.out, EndsWith("check: 5 answers right, 0 wrong\ncheck: 2 scenario optima "
                                "disagree with our Dijkstra beyond the band [1, 142/141.42]\n"));
    EXPECT_EQ(r.err,
              "gridbench: optimum off: line 5: optimum 1.41412, cost 142 (ratio 1.00416)\n"
              "gridbench: optimum off: line 6: optimum 1.41421, cost 200 (ratio 1.41422)\n");
    const std::string lak = std::string(SHARED_MAPS) + "/lak503d.map.scen";
    if (!std::filesystem::exists(lak)) GTEST_SKIP() << lak << " is not there";
    const ProcessResult real = run(GRIDBENCH_EXE, "--check --no-times --scen " + lak, kData);
    EXPECT_EQ(real.exit_status, 0) << real.err;
    EXPECT_EQ(real.err, "");
    EXPECT_THAT(real.out, EndsWith("check: 1240 answers right, 0 wrong\n"));
}

// A scenario's optima are lengths for 1x1 objects: for a larger one the run
// answers and checks every query but shows no ratio to them, and says why.
// For size 1 the gap scenario's second query has a route, which would have
// a ratio.
TEST(GridbenchCli, LargerObjectsGetNoOptimumRatios) {
    TempDir dir;
    const ProcessResult r =
        run(GRIDBENCH_EXE, "--scen gap.map.scen --size 1 --check --no-times --csv " + dir.file("c"),
            kData);
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 7u) << r.out;
    EXPECT_EQ(lines[1], "no optimum ratios: the scenario's optima are for 1x1 objects, not 2x2");
    EXPECT_THAT(lines[3], EndsWith("          -          -"));
    EXPECT_THAT(lines[4], EndsWith("          -          -"));
    EXPECT_EQ(lines[6], "check: 2 answers right, 0 wrong");
    const std::vector<std::string> rows = split(read_file(dir.file("c")), '\n');
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& [row, cost] : {std::pair{rows[1], "-1"}, {rows[2], "542"}}) {
        const std::vector<std::string> f = split(row, ',');
        EXPECT_EQ(f.at(8) + ' ' + f.at(10) + f.at(11) + f.at(15), cost + std::string(" right"))
            << row;
    }
}

// Bad command lines and files of both programs: nothing on standard output,
// the exact error and the exit status. octile-mapgen writes NAME.map and
// NAME.map.scen, so NAME must name a file; a run that cannot write or cannot
// make every query asked for fails.
TEST(Cli, RefusalsGiveTheirExactErrorAndExitStatus) {
    TempDir dir;
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("maps")));
    std::ofstream(dir.file("short.scen")) << "version 1\n0\twalls.map\t6\t5\n";
    const std::string walls = "--scen " + kData + "/walls.map.scen ";
    const struct {
        const char* exe;
        std::string args, err;
        int status;
    } cases[] = {
        {GRIDBENCH_EXE, "", "give --scen FILE, or --map FILE with --random N\n" + kHelp, 2},
        {GRIDBENCH_EXE, walls + "--size 3", "--size: Value 3 not in range 0 to 2\n" + kHelp, 2},
        {GRIDBENCH_EXE, walls + "--search foo", "--search: foo not in {exact,jump,both}\n" + kHelp,
         2},
        {GRIDBENCH_EXE, walls + "--map m.map --random 5", "--scen excludes --random\n" + kHelp, 2},
        {GRIDBENCH_EXE, walls + "--threads 0",
         "--threads: 0 is not a whole number from 1 to 1024\n" + kHelp, 2},
        {GRIDBENCH_EXE, walls + "--threads -2",
         "--threads: -2 is not a whole number from 1 to 1024\n" + kHelp, 2},
        {GRIDBENCH_EXE, walls + "--threads two",
         "--threads: two is not a whole number from 1 to 1024\n" + kHelp, 2},
        {GRIDBENCH_EXE, "--scen short.scen",
         "gridbench: Cannot read short.scen: line 2: expected 9 fields, found 4\n", 2},
        {GRIDBENCH_EXE, walls + "--csv no/x.csv",
         "gridbench: Cannot write no/x.csv: no such directory\n", 2},
        {GRIDBENCH_EXE, walls + "--map maps", "gridbench: Cannot read maps: is a directory\n", 2},
        {GRIDBENCH_EXE, walls + "--map missing.map",
         "gridbench: Cannot read missing.map: no such file\n", 2},
        {MAPGEN_EXE, "--queries 4 --out maps/",
         "octile-mapgen: --out: no file name in \"maps/\" (see --help)\n", 2},
        {MAPGEN_EXE, "--queries 4 --out maps",
         "octile-mapgen: --out: maps is a directory; give a file name in it, such as maps/map "
         "(see --help)\n",
         2},
        {MAPGEN_EXE, "--out none/rooms",
         "octile-mapgen: Cannot write none/rooms.map: no such directory\n", 1},
        // Corridors wider than the map leave nothing but rock.
        {MAPGEN_EXE, "--kind maze --corridor 64 --width 8 --height 8 --queries 5 --out rock",
         "octile-mapgen: only 0 of 5 queries: too little connected ground\n", 1},
    };
    for (const auto& c : cases) {
        const ProcessResult r = run(c.exe, c.args, dir.path());
        EXPECT_EQ(r.exit_status, c.status) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("maps")));
}

}  // namespace
