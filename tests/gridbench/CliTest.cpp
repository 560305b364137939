// gridbench, octile-mapgen and pathgrid as processes: answers and the exact
// table for the hand-written scenarios, help and bad command lines, generated
// scenarios checked end to end, and pathgrid opening text maps.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "Process.h"

namespace {

const std::string kData = GRIDBENCH_DATA;

ProcessResult run(const std::string& exe, std::vector<std::string> args, const std::string& cwd,
                  bool noDisplay = false) {
    args.insert(args.begin(), exe);
    ProcessOptions options;
    options.working_dir = cwd;
    if (noDisplay) options.env_unset = {"DISPLAY"};
    return run_process(args, options);
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

TEST(GridbenchCli, ExactTableForTheWallsScenario) {
    // Started from another folder, it must find the map beside the scenario.
    const ProcessResult r = run(
        GRIDBENCH_EXE, {"--scen", "data/walls.map.scen", "--check", "--no-times"}, kData + "/..");
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "map data/walls.map (6 x 5), object size 0, 8 queries from data/walls.map.scen\n"
        R"(bucket  queries   solved  unreachable    mean_us  median_us     expanded  mean_ratio  max_ratio
     0        3        3            0          -          -           14     1.00000    1.00000
     1        2        2            0          -          -           19     1.00205    1.00409
     2        3        1            2          -          -            5     1.00000    1.00000
 total        8        6            2          -          -           38     1.00082    1.00409
isConnected alone answered 2 of 8 queries (25.0%) as unreachable
check: 8 answers right, 0 wrong
)");
}

// walls.map   ......   gap.map: a wall across the map with a gap one cell
//             .@@@..   wide, so only the smallest object gets through.
//             ...@WW
//             .T.@WW
//             ......
TEST(GridbenchCli, KnownCostsOnTheHandWrittenScenarios) {
    const struct {
        std::string scen, size;
        std::vector<std::string> costs;
    } cases[] = {
        // Along the top; round the wall's corner; start = goal; the long way
        // into the pocket; one diagonal in the lake; ground to water; inside
        // the wall; from the lone tree to the wall.
        {"walls.map.scen", "0", {"500", "400", "0", "900", "142", "-1", "400", "-1"}},
        {"gap.map.scen", "0", {"884", "542"}},
        {"gap.map.scen", "1", {"-1", "542"}},
        {"gap.map.scen", "2", {"-1", "-1"}},  // the second goal leaves a 3 x 3 object sticking out
    };
    TempDir dir;
    for (const auto& c : cases) {
        const ProcessResult r =
            run(GRIDBENCH_EXE,
                {"--scen", c.scen, "--size", c.size, "--check", "--csv", dir.file("c.csv")}, kData);
        EXPECT_EQ(r.exit_status, 0) << r.out << r.err;  // 1 when the check finds a wrong answer
        std::vector<std::string> rows = split(read_file(dir.file("c.csv")), '\n'), costs;
        for (std::size_t i = 1; i < rows.size(); ++i) costs.push_back(split(rows[i], ',').at(8));
        EXPECT_EQ(costs, c.costs) << c.scen << " size " << c.size;
    }
}

TEST(GridbenchCli, HelpAndBadCommandLines) {
    const ProcessResult help = run(GRIDBENCH_EXE, {"--help"}, kData);
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_NE(help.out.find("--scen"), std::string::npos) << help.out;
    TempDir dir;
    std::ofstream(dir.file("short.scen")) << "version 1\n0\twalls.map\t6\t5\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "give --scen FILE, or --map FILE with --random N"},
        {{"--scen", "walls.map.scen", "--size", "3"}, "--size"},
        {{"--scen", "walls.map.scen", "--map", "walls.map", "--random", "5"}, "excludes"},
        {{"--scen", dir.file("short.scen")}, "short.scen: line 2: expected 9 fields, found 4"},
        {{"--scen", "walls.map.scen", "--csv", dir.file("no/x.csv")}, "cannot write"},
    };
    for (const auto& [args, part] : cases) {
        const ProcessResult r = run(GRIDBENCH_EXE, args, kData);
        EXPECT_EQ(r.exit_status, 2) << part;
        EXPECT_EQ(r.out, "") << part;
        EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    }
}

// Our routes cost 142 per diagonal against the optimum's sqrt 2, so every
// ratio must lie between 1 and 142 / (100 sqrt 2); a wrong optimum falls
// outside. Random queries of a 3 x 3 object on the same map (the maze gets
// corridors 3 wide for it) must pass the check too, unreachable ones included.
TEST(GridbenchCli, GeneratedScenariosAgreeWithTheCheck) {
    TempDir dir;
    for (const std::string kind : {"rooms", "maze", "lakes"}) {
        std::vector<std::string> args = split(
            "--width 80 --height 56 --corridor 3 --queries 120 --per-start 15 --seed 9 --kind",
            ' ');
        args.insert(args.end(), {kind, "--out", kind});
        const ProcessResult gen = run(MAPGEN_EXE, args, dir.path());
        ASSERT_EQ(gen.exit_status, 0) << gen.err;
        const ProcessResult r = run(
            GRIDBENCH_EXE,
            {"--scen", kind + ".map.scen", "--check", "--no-times", "--csv", "q.csv"}, dir.path());
        EXPECT_NE(r.out.find("check: 120 answers right, 0 wrong\n"), std::string::npos)
            << r.out << r.err;
        const std::vector<std::string> rows = split(read_file(dir.file("q.csv")), '\n');
        ASSERT_EQ(rows.size(), 121u) << kind;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            // query, line, bucket, start x, y, goal x, y, connected, cost, length, optimal, ratio
            const std::vector<std::string> f = split(rows[i], ',');
            ASSERT_TRUE(f.size() > 11 && f[7] == "1" && !f[11].empty()) << kind << ": " << rows[i];
            EXPECT_GE(std::stod(f[11]), 1 - 1e-6) << kind << ": " << rows[i];
            EXPECT_LE(std::stod(f[11]), 142 / (100 * std::sqrt(2.0)) + 1e-6) << kind << rows[i];
        }
        const ProcessResult random =
            run(GRIDBENCH_EXE,
                split("--random 200 --size 2 --check --no-times --map " + kind + ".map", ' '),
                dir.path());
        EXPECT_NE(random.out.find("check: 200 answers right, 0 wrong\n"), std::string::npos)
            << random.out << random.err;
    }
}

#ifdef PATHGRID_EXE
// Without a display pathgrid reads the map, prints its size and then fails to
// open its window; a bad map is refused (status 255) before that.
TEST(PathgridCli, OpensTextMapsAndRefusesBadOnes) {
    TempDir dir;
    std::ofstream(dir.file("bad.map")) << "type octile\nheight 3\nwidth 6\nmap\n......\n..\n";
    const ProcessResult good = run(PATHGRID_EXE, {kData + "/walls.map"}, dir.path(), true);
    EXPECT_NE(good.exit_status, 255);
    EXPECT_EQ(split(good.out, '\n').at(0), "width=6 height=5");
    const ProcessResult bad = run(PATHGRID_EXE, {"bad.map"}, dir.path(), true);
    EXPECT_EQ(bad.exit_status, 255);
    EXPECT_EQ(bad.out, "Cannot read bad.map: line 6: row has 2 characters, expected 6\n");
}
#endif

}  // namespace
