// gridbench and octile-mapgen as processes: exact output for the hand-written
// scenario, help, bad command lines, unusable files, CSV output, random
// queries, and generated scenarios checked end to end.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

#include "BmpWriter.h"
#include "Process.h"
#include "TestSupport.h"

namespace {

const std::string kData = GRIDBENCH_DATA;

ProcessResult gridbench(const std::vector<std::string>& args, const std::string& cwd = kData) {
    std::vector<std::string> argv{GRIDBENCH_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_dir = cwd;
    return run_process(argv, options);
}

ProcessResult mapgen(const std::vector<std::string>& args, const std::string& cwd) {
    std::vector<std::string> argv{MAPGEN_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions options;
    options.working_dir = cwd;
    return run_process(argv, options);
}

bool writeText(const std::string& path, const std::string& text) {
    return writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

const char* const kTableHead =
    "bucket  queries   solved  unreachable    mean_us  median_us     expanded  mean_ratio  "
    "max_ratio\n";

TEST(GridbenchCli, ExactOutputForTheWallsScenario) {
    const ProcessResult r = gridbench({"--scen", "walls.map.scen", "--check", "--no-times"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              std::string("map walls.map (6 x 5), object size 0, 8 queries from walls.map.scen\n") +
                  kTableHead +
                  "     0        3        3            0          -          -           14 "
                  "    1.00000    1.00000\n"
                  "     1        2        2            0          -          -           19 "
                  "    1.00205    1.00409\n"
                  "     2        3        1            2          -          -            5 "
                  "    1.00000    1.00000\n"
                  " total        8        6            2          -          -           38 "
                  "    1.00082    1.00409\n"
                  "isConnected alone answered 2 of 8 queries (25.0%) as unreachable\n"
                  "check: 8 answers right, 0 wrong\n");
}

TEST(GridbenchCli, TimingsAndThroughputWhenNotLeftOut) {
    const ProcessResult r = gridbench({"--scen", "gap.map.scen", "--size", "1"});
    EXPECT_EQ(r.exit_status, 0);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 6u) << r.out;
    EXPECT_EQ(out[0], "map gap.map (7 x 6), object size 1, 2 queries from gap.map.scen");
    const std::regex row(
        R"( total        2        1            1 +[0-9]+\.[0-9]{2} +[0-9]+\.[0-9]{2} +[0-9]+ +1\.00107 +1\.00107)");
    EXPECT_TRUE(std::regex_match(out[3], row)) << out[3];
    EXPECT_EQ(out[4], "isConnected alone answered 1 of 2 queries (50.0%) as unreachable");
    EXPECT_TRUE(std::regex_match(
        out[5],
        std::regex(R"(time in queries: [0-9]+\.[0-9]{3} ms, ([0-9]+|-) expansions per second)")))
        << out[5];
}

TEST(GridbenchCli, Help) {
    const ProcessResult r = gridbench({"--help"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("gridbench: runs shortest-path queries", 0), 0u) << r.out;
    for (const char* option :
         {"--scen", "--map", "--random", "--seed", "--size", "--check", "--csv", "--no-times"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
}

TEST(GridbenchCli, BadCommandLinesExitWithStatus2) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{}, "give --scen FILE, or --map FILE with --random N"},
        {{"--scen", "walls.map.scen", "--size", "3"}, "--size"},
        {{"--scen", "walls.map.scen", "--bogus"}, "--bogus"},
        {{"--random", "10"}, "--map"},
        {{"--scen", "walls.map.scen", "--map", "walls.map", "--random", "5"}, "excludes"},
        {{"--map", "walls.map", "--random", "0"}, "--random"},
        {{"--scen", "no-such.scen"}, "no-such.scen"},
        {{"--map", "walls.map", "--random", "ten"}, "--random"},
    };
    for (const Case& c : cases) {
        const ProcessResult r = gridbench(c.args);
        EXPECT_EQ(r.exit_status, 2) << c.message;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST(GridbenchCli, UnusableFilesAreNamedWithTheirLine) {
    TempDir dir;
    ASSERT_TRUE(writeText(dir.file("short.scen"), "version 1\n0\twalls.map\t6\t5\n"));
    ASSERT_TRUE(writeText(dir.file("lost.scen"), "version 1\n0\tlost.map\t6\t5\t0\t0\t1\t1\t1\n"));
    ASSERT_TRUE(
        writeText(dir.file("bad.map"), "type octile\nheight 3\nwidth 3\nmap\n...\n.x.\n...\n"));
    ASSERT_TRUE(writeText(dir.file("bad.scen"), "version 1\n0\tbad.map\t3\t3\t0\t0\t1\t1\t1\n"));
    ASSERT_TRUE(writeText(dir.file("size.scen"), "version 1\n0\t" + kData +
                                                     "/walls.map\t6\t5\t0\t0\t1\t1\t1\n"
                                                     "0\t" +
                                                     kData + "/walls.map\t6\t6\t0\t0\t1\t1\t1\n"));
    ASSERT_TRUE(writeText(dir.file("two.scen"),
                          "version 1\n0\ta.map\t6\t5\t0\t0\t1\t1\t1\n"
                          "0\tb.map\t6\t5\t0\t0\t1\t1\t1\n"));
    ASSERT_TRUE(writeText(dir.file("empty.scen"), "version 1\n"));
    const std::pair<std::string, std::string> cases[] = {
        {"short.scen", "gridbench: Cannot read short.scen: line 2: expected 9 fields, found 4\n"},
        {"lost.scen", "gridbench: Cannot read lost.map\n"},
        {"bad.scen",
         "gridbench: Cannot read bad.map: line 6: unexpected character 'x' in column 2\n"},
        {"size.scen",
         "gridbench: Cannot read size.scen: line 3: map size 6 x 6 is not the size "
         "6 x 5 of " +
             kData + "/walls.map\n"},
        {"two.scen",
         "gridbench: Cannot read two.scen: line 3: map b.map is not the map a.map of "
         "line 2\n"},
        {"empty.scen", "gridbench: Cannot read empty.scen: no queries\n"},
    };
    for (const auto& [scen, message] : cases) {
        const ProcessResult r = gridbench({"--scen", scen}, dir.path());
        EXPECT_EQ(r.exit_status, 2) << scen;
        EXPECT_EQ(r.out, "") << scen;
        EXPECT_EQ(r.err, message);
    }
}

TEST(GridbenchCli, MapOptionOverridesTheScenariosMap) {
    TempDir dir;
    ASSERT_TRUE(
        writeText(dir.file("q.scen"), "version 1\n0\tsomewhere/else.map\t6\t5\t0\t0\t5\t0\t5\n"));
    const ProcessResult r =
        gridbench({"--scen", dir.file("q.scen"), "--map", kData + "/walls.map", "--no-times"});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(lines(r.out).at(3).substr(0, 40), " total        1        1            0   ");
}

TEST(GridbenchCli, CsvHasOneRowPerQuery) {
    TempDir dir;
    const ProcessResult r = gridbench(
        {"--scen", "walls.map.scen", "--check", "--no-times", "--csv", dir.file("out.csv")});
    EXPECT_EQ(r.exit_status, 0) << r.err;
    const auto rows = lines(read_file(dir.file("out.csv")));
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[4], "4,5,1,2,2,4,1,1,900,9.00000000,9.00000000,1.000000,17,21,,right");
    EXPECT_EQ(rows[6], "6,7,2,0,0,4,2,0,-1,,0.00000000,,0,0,,right");

    const ProcessResult bad =
        gridbench({"--scen", "walls.map.scen", "--csv", dir.file("no/x.csv")});
    EXPECT_EQ(bad.exit_status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "gridbench: cannot write " + dir.file("no/x.csv") + "\n");
}

TEST(GridbenchCli, RandomQueriesOnABitmapAreRepeatableAndChecked) {
    TempDir dir;
    const MapRows rows = {"..........", "..####....", "..#..#.~~~", "..#..#~~~~",
                          "......~~~~", "##........", ".........."};
    ASSERT_TRUE(writeBytes(dir.file("pic.bmp"), encodeBitmap(imageFromRows(rows))));
    const std::vector<std::string> args = {"--map", "pic.bmp", "--random", "60",      "--seed",
                                           "5",     "--size",  "1",        "--check", "--no-times"};
    const ProcessResult a = gridbench(args, dir.path());
    const ProcessResult b = gridbench(args, dir.path());
    EXPECT_EQ(a.exit_status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(lines(a.out).at(0),
              "map pic.bmp (10 x 7), object size 1, 60 queries at random (seed 5)");
    EXPECT_EQ(lines(a.out).back(), "check: 60 answers right, 0 wrong");
    // Water and ground places both get drawn, so some queries are unreachable.
    const std::string total = lines(a.out).at(lines(a.out).size() - 3);
    EXPECT_EQ(total.substr(0, 6), " total");
    EXPECT_NE(total.substr(24, 13), "            0");
}

// Our costs use 142 per diagonal against the generator's sqrt 2, so every
// ratio must lie between 1 and 142 / (100 sqrt 2).
TEST(GeneratedScenarios, OptimaAgreeWithOurCostsAndTheCheck) {
    TempDir dir;
    for (const char* kind : {"rooms", "maze", "lakes"}) {
        const ProcessResult gen =
            mapgen({"--kind", kind, "--width", "80", "--height", "56", "--queries", "120",
                    "--per-start", "15", "--seed", "9", "--out", kind},
                   dir.path());
        ASSERT_EQ(gen.exit_status, 0) << gen.err;
        EXPECT_EQ(gen.err, "");
        const std::string scen = std::string(kind) + ".map.scen";
        const ProcessResult r =
            gridbench({"--scen", scen, "--check", "--no-times", "--csv", "out.csv"}, dir.path());
        EXPECT_EQ(r.exit_status, 0) << kind << r.err;
        EXPECT_EQ(lines(r.out).back(), "check: 120 answers right, 0 wrong") << kind;
        const auto rows = lines(read_file(dir.file("out.csv")));
        ASSERT_EQ(rows.size(), 121u) << kind;
        int withRatio = 0;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            std::vector<std::string> f;
            std::istringstream in(rows[i]);
            for (std::string field; std::getline(in, field, ',');) f.push_back(field);
            ASSERT_GE(f.size(), 12u);
            EXPECT_EQ(f[7], "1") << kind << rows[i];  // every scenario query is reachable
            if (f[11].empty()) continue;
            ++withRatio;
            const double ratio = std::stod(f[11]);
            EXPECT_GE(ratio, 1 - 1e-6) << kind << rows[i];
            EXPECT_LE(ratio, 142 / (100 * std::sqrt(2.0)) + 1e-6) << kind << rows[i];
        }
        EXPECT_EQ(withRatio, 120) << kind;
    }
}

TEST(GeneratedScenarios, SameSeedSameFilesAndBadOptionsRefused) {
    TempDir dir;
    for (const char* name : {"a", "b"}) {
        ASSERT_EQ(mapgen({"--kind", "lakes", "--width", "64", "--height", "48", "--queries", "30",
                          "--seed", "4", "--out", name},
                         dir.path())
                      .exit_status,
                  0);
    }
    EXPECT_EQ(read_file(dir.file("a.map")), read_file(dir.file("b.map")));
    const std::string scenA = read_file(dir.file("a.map.scen"));
    const std::string scenB = read_file(dir.file("b.map.scen"));
    EXPECT_EQ(lines(scenA).size(), 31u);
    // Each names its own map, otherwise the lines are the same.
    EXPECT_EQ(std::regex_replace(scenA, std::regex("\ta\\.map\t"), "\tX\t"),
              std::regex_replace(scenB, std::regex("\tb\\.map\t"), "\tX\t"));
    EXPECT_EQ(lines(read_file(dir.file("a.map"))).at(0), "type octile");

    const ProcessResult bad = mapgen({"--kind", "caves", "--out", "c"}, dir.path());
    EXPECT_EQ(bad.exit_status, 2);
    EXPECT_NE(bad.err.find("--kind"), std::string::npos) << bad.err;
    EXPECT_EQ(mapgen({"--kind", "maze"}, dir.path()).exit_status, 2);  // --out is required
}

}  // namespace
