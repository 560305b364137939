// battlestats --merge as a process: files no run could have written are
// refused with the run's own reason, and a battle read twice is reported with
// both of its places.

#include <gtest/gtest.h>

#include <fstream>

#include "Process.h"

namespace {

const std::string HEADER =
    "battle,red,blue,seed,result,steps,width,height,marines,tanks,bounce,battles,master_seed,"
    "reds,blues,paired\n";
// Battle 0 of master seed 3, played as in a run of
// --width 200 --height 200 --marines 3 --tanks 1 --battles 1 --seed 3 --red 0 --blue 2.
const std::string BATTLE = "0,0,2,-1989332485,blue,72,";
const std::string SETTINGS = "200,200,3,1,1,1,3,0,2,0";

std::string write_file(const TempDir& dir, const std::string& name, const std::string& text) {
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

ProcessResult merge(const std::vector<std::string>& files) {
    std::vector<std::string> argv = {BATTLESTATS_PATH, "--merge"};
    argv.insert(argv.end(), files.begin(), files.end());
    return run_process(argv);
}

void expect_refusal(const ProcessResult& r, const std::string& message) {
    EXPECT_EQ(r.exit_status, 1) << message;
    EXPECT_EQ(r.out, "") << message;
    EXPECT_EQ(r.err, "battlestats: " + message + "\n");
}

TEST(BattlestatsMerge, RefusesSettingsARunRefuses) {
    TempDir dir;
    const std::string prefix = "a run refuses these settings: ";
    const std::pair<std::string, std::string> cases[] = {
        {"10,10,2147483647,0,1,1,3,0,2,0",
         "world 10 x 10 is too small for marines: width and height must be above 30"},
        {"200,200,-3,1,1,1,3,0,2,0", "--marines: Value -3 not in range 0 to 2147483647"},
        {"200,200,3,-1,1,1,3,0,2,0", "--tanks: Value -1 not in range 0 to 2147483647"},
        {"200,200,3,1,1,0,3,0,2,0", "--battles: Value 0 not in range 1 to 2147483647"},
        {"200,200,3,1,1,1,3,0;5,2,0", "--red: Value 5 not in range 0 to 2"},
        {"200,200,3,1,1,1,3,0,-1,0", "--blue: Value -1 not in range 0 to 2"},
        {"700,700,2147483647,1,1,1,3,0,2,0",
         "battle too large: 4294967296 units do not fit in memory"},
    };
    for (const auto& [settings, why] : cases) {
        const std::string file = write_file(dir, "x.csv", HEADER + BATTLE + settings + "\n");
        expect_refusal(merge({file}), file + ":2: " + prefix + why);
    }
    // The same settings run, so they merge.
    const std::string file = write_file(dir, "ok.csv", HEADER + BATTLE + SETTINGS + "\n");
    EXPECT_EQ(merge({file}).exit_status, 0);
}

TEST(BattlestatsMerge, NamesBothPlacesOfABattleReadTwice) {
    TempDir dir;
    const std::string row = BATTLE + SETTINGS + "\n";
    const std::string a = write_file(dir, "a.csv", HEADER + row);
    const std::string b = write_file(dir, "b.csv", HEADER + row);
    expect_refusal(merge({a, b}), b + ":2: same battle as " + a + ":2");
    const std::string twice = write_file(dir, "twice.csv", HEADER + row + row);
    expect_refusal(merge({twice}), twice + ":3: same battle as " + twice + ":2");
    // One file given twice is named as such, not as every battle a duplicate of itself.
    expect_refusal(merge({a, b, a}), a + " is given twice");
    expect_refusal(merge({a, dir.path() + "/./a.csv"}),
                   dir.path() + "/./a.csv and " + a + " are the same file");
}

TEST(BattlestatsMerge, PolicyListsKeepTheirSeparatorThroughAMerge) {
    TempDir dir;
    const std::string one_run = dir.file("run.csv");
    const ProcessResult run = run_process(
        {BATTLESTATS_PATH, "--width", "200", "--height", "200", "--marines", "3", "--tanks", "1",
         "--battles", "2", "--seed", "3", "--red", "2,0", "--blue", "1,2,0", "--csv", one_run});
    ASSERT_EQ(run.exit_status, 0) << run.err;
    const std::string csv = read_file(one_run);
    EXPECT_NE(csv.find("\n0,0,0,-1989332485,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",200,200,3,1,1,2,3,0;2,0;1;2,0\n"), std::string::npos) << csv;

    const std::string merged = dir.file("merged.csv");
    const ProcessResult r = run_process({BATTLESTATS_PATH, "--merge", one_run, "--csv", merged});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    EXPECT_EQ(r.out, run.out);
    EXPECT_EQ(read_file(merged), csv);
}

}  // namespace
