// gridbench (and octile-mapgen's scenarios) as a process: reports, CSV, threads, errors.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "Process.h"

namespace {

using ::testing::EndsWith;
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

// The walls scenario's report: a search's expanded nodes differ, not its ratios.
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

// Both searches, the exact one first.
TEST(GridbenchCli, ExactTablesForTheWallsScenario) {
    const ProcessResult r =
        run("--scen data/walls.map.scen --check --no-times --search both", kData + "/..");
    EXPECT_EQ(std::tuple(r.exit_status, r.out),
              std::tuple(0, wallsTable(", exact search", {"14", "19", " 5", "38"}) +
                                wallsTable(", jump point search", {" 6", " 8", " 3", "17"})));
}

// Without the times, output and CSV are the same for any number of threads, the default's too;
// with --check the optima off are counted, five shown and the run fails.
TEST(GridbenchCli, ThreadCountChangesNothingButTheTimes) {
    TempDir dir;
    const std::string off = "gridbench: optimum off: line ";
    const std::tuple<std::string, std::string, std::string, std::size_t, int> runs[] = {
        {"--map " REPO_MAP " --random 1000 --seed 5 --size 1 --search both",
         "check: 1000 answers right, 0 wrong\n", "", 2001, 0},
        {"--scen off.scen",
         "check: 10 answers right, 0 wrong\ncheck: 8 scenario optima disagree with our "
         "Dijkstra beyond the band [1, 142/141.42]\n",
         off + "2: optimum 30, cost 500 (ratio 0.16667)\n" + off +
             "4: optimum 2.82842712, cost 400 (ratio 1.41421)\n" + off +
             "5: optimum 0.70710678, cost 142 (ratio 2.00818)\n" + off +
             "6: optimum 3, but no route\n" + off +
             "7: optimum 30, cost 500 (ratio 0.16667)\ngridbench: optimum off: 3 more\n",
         11, 1}};
    for (const auto& [args, end, err, csvLines, status] : runs) {
        const auto outputs = [&](const std::string& threads) {
            const ProcessResult r =
                run(args + " --check --no-times --csv " + dir.file("c") + threads);
            return std::tuple(r.exit_status, r.out, r.err, read_file(dir.file("c")));
        };
        const auto one = outputs(" --threads 1");
        EXPECT_THAT(std::get<1>(one), EndsWith(end));
        EXPECT_EQ(
            std::tuple(std::get<0>(one), std::get<2>(one), split(std::get<3>(one), '\n').size()),
            std::tuple(status, err, csvLines));
        EXPECT_EQ(outputs(""), one) << args;
        EXPECT_EQ(outputs(" --threads 3"), one) << args;
    }
}

// The generator's optima lie in the band the check allows.
TEST(GridbenchCli, GeneratedScenariosAgreeWithTheCheck) {
    TempDir dir;
    for (const std::string kind : {"rooms", "maze", "lakes"}) {
        const ProcessResult gen =
            run("--per-start 15 --seed 9 --width 80 --height 56 --corridor 3 "
                "--queries 120 --kind " +
                    kind + " --out " + kind,
                dir.path(), MAPGEN_EXE);
        ASSERT_EQ(gen.exit_status, 0) << gen.err;
        expectRun("--check --no-times --scen " + kind + ".map.scen", 0,
                  "isConnected alone answered 0 of 120 queries (0.0%) as unreachable\n"
                  "check: 120 answers right, 0 wrong\n",
                  "", dir.path());
    }
}

// "maps/dao/x.map": from the scenario's folder, the working directory, then by base name.
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
}

// "1.41421" for sqrt 2, as lak503d has, is exact; one wrong in its last place but one is not.
// Without --check, optima off give one warning.
TEST(GridbenchCli, OptimaAreComparedToThePlacesTheyArePrintedTo) {
    expectRun("--scen off.scen", 0, "",
              "gridbench: warning: 8 of 10 scenario optima disagree with our costs beyond the "
              "band [1, 142/141.42]; --check lists them\n");
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
    for (int i : {3, 4}) EXPECT_THAT(lines[i], EndsWith("          -          -"));
    EXPECT_EQ(lines[6], "check: 2 answers right, 0 wrong");
    const std::vector<std::string> rows = split(read_file(dir.file("c")), '\n');
    ASSERT_EQ(rows.size(), 3u);
    for (const std::string cost : {"-1", "542"}) {
        const std::vector<std::string> f = split(rows[cost == "-1" ? 1 : 2], ',');
        EXPECT_EQ(std::tuple(f.at(8), f.at(10), f.at(11), f.at(15)),
                  std::tuple(cost, "", "", "right"));
    }
}

// Bad command lines: nothing on standard output, the exact error and status 2.
TEST(Cli, RefusalsGiveTheirExactErrorAndExitStatus) {
    TempDir dir;
    std::ofstream(dir.file("short.scen")) << "version 1\n0\twalls.map\t6\t5\n";
    const std::string walls = "--scen " + kData + "/walls.map.scen ";
    const std::string kHelp = "\nRun with --help for more information.\n";
    for (const auto& [args, err] :
         {std::pair{std::string(), "give --scen FILE, or --map FILE with --random N" + kHelp},
          {walls + "--size 3", "--size: Value 3 not in range 0 to 2" + kHelp},
          {walls + "--map m.map --random 5", "--scen excludes --random" + kHelp},
          {walls + "--threads 0", "--threads: 0 is not a whole number from 1 to 1024" + kHelp},
          {"--scen short.scen",
           "gridbench: Cannot read short.scen: line 2: expected 9 fields, found 4\n"}}) {
        const ProcessResult r = run(args, dir.path());
        EXPECT_EQ(std::tuple(r.exit_status, r.out, r.err), std::tuple(2, "", err)) << args;
    }
}

}  // namespace
