// battlestats as a process: identical results for any thread count and for
// merged shards, the files it writes, help, errors and the progress bar.

#include <gtest/gtest.h>

#include <sstream>

#include "Process.h"

namespace {

const std::vector<std::string> SMALL = {"--width", "200", "--height",  "200", "--marines", "3",
                                        "--tanks", "1",   "--battles", "6",   "--seed",    "11"};

std::vector<std::string> command(std::vector<std::string> args,
                                 const std::vector<std::string>& settings = SMALL) {
    args.insert(args.begin(), settings.begin(), settings.end());
    args.insert(args.begin(), BATTLESTATS_PATH);
    return args;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(BattlestatsCli, ThreadCountChangesNothing) {
    TempDir dir;
    std::string table;
    std::string files[3];
    for (const char* threads : {"1", "2", "3"}) {
        const std::string t = threads;
        const ProcessResult r =
            run_process(command({"--paired", "--threads", t, "--csv", dir.file(t + ".csv"),
                                 "--json", dir.file(t + ".json"), "--svg", dir.file(t + ".svg")}));
        ASSERT_EQ(r.exit_status, 0) << r.err;
        // Quiet: standard error is not a terminal here.
        EXPECT_EQ(r.err, "");
        const std::string now[3] = {read_file(dir.file(t + ".csv")),
                                    read_file(dir.file(t + ".json")),
                                    read_file(dir.file(t + ".svg"))};
        if (t == "1") {
            table = r.out;
            for (int i = 0; i < 3; ++i) files[i] = now[i];
            continue;
        }
        EXPECT_EQ(r.out, table) << t;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(now[i], files[i]) << t << " file " << i;
    }
    EXPECT_EQ(table.rfind("world 200 x 200, per side: marines 3, tanks 1, bounce 1; 6 battles per "
                          "pair, master seed 11, paired\n",
                          0),
              0u);
    // Header plus 9 pairs of 6 battles.
    EXPECT_EQ(lines_of(files[0]).size(), 55u);
    EXPECT_EQ(lines_of(files[1]).size(), 59u);
}

TEST(BattlestatsCli, MergedShardsEqualOneRun) {
    TempDir dir;
    const ProcessResult whole =
        run_process(command({"--csv", dir.file("all.csv"), "--json", dir.file("all.json"), "--svg",
                             dir.file("all.svg")}));
    ASSERT_EQ(whole.exit_status, 0) << whole.err;

    std::vector<std::string> merge = {BATTLESTATS_PATH, "--merge"};
    for (const char* k : {"3", "1", "2"}) {
        const std::string csv = dir.file(std::string("shard") + k + ".csv");
        const ProcessResult shard = run_process(
            command({"--shard", std::string(k) + "/3", "--threads", "1", "--csv", csv}));
        ASSERT_EQ(shard.exit_status, 0) << shard.err;
        EXPECT_EQ(shard.out.rfind(std::string("shard ") + k + "/3: 18 of 54 battles\n", 0), 0u);
        EXPECT_EQ(lines_of(read_file(csv)).size(), 19u);
        merge.push_back(csv);
    }
    merge.insert(merge.end(), {"--csv", dir.file("m.csv"), "--json", dir.file("m.json"), "--svg",
                               dir.file("m.svg")});
    const ProcessResult merged = run_process(merge);
    ASSERT_EQ(merged.exit_status, 0) << merged.err;
    EXPECT_EQ(merged.err, "");
    EXPECT_EQ(merged.out, whole.out);
    EXPECT_EQ(read_file(dir.file("m.csv")), read_file(dir.file("all.csv")));
    EXPECT_EQ(read_file(dir.file("m.json")), read_file(dir.file("all.json")));
    EXPECT_EQ(read_file(dir.file("m.svg")), read_file(dir.file("all.svg")));
}

TEST(BattlestatsCli, MergeWithAShardMissingFails) {
    TempDir dir;
    const std::string csv = dir.file("one.csv");
    ASSERT_EQ(run_process(command({"--shard", "1/3", "--csv", csv})).exit_status, 0);
    const ProcessResult r = run_process({BATTLESTATS_PATH, "--merge", csv});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "battlestats: 36 of 54 battles missing: merge the CSV files of all shards\n");

    const ProcessResult missing = run_process({BATTLESTATS_PATH, "--merge", dir.file("none.csv")});
    EXPECT_EQ(missing.exit_status, 1);
    EXPECT_EQ(missing.err,
              "battlestats: cannot read " + dir.file("none.csv") + ": No such file or directory\n");

    const ProcessResult folder = run_process({BATTLESTATS_PATH, "--merge", dir.file("")});
    EXPECT_EQ(folder.exit_status, 1);
    EXPECT_EQ(folder.err, "battlestats: cannot read " + dir.file("") + ": a directory\n");
}

TEST(BattlestatsCli, SameSeedSameTableAndClockSeedIsShown) {
    const ProcessResult first = run_process(command({}));
    const ProcessResult second = run_process(command({"--threads", "2"}));
    ASSERT_EQ(first.exit_status, 0);
    EXPECT_EQ(first.out, second.out);

    std::vector<std::string> clock_settings = SMALL;
    clock_settings.back() = "0";
    const ProcessResult clocked = run_process(command({}, clock_settings));
    ASSERT_EQ(clocked.exit_status, 0);
    const std::string key = "master seed ";
    const std::size_t at = clocked.out.find(key);
    ASSERT_NE(at, std::string::npos);
    const std::string seed =
        clocked.out.substr(at + key.size(), clocked.out.find('\n') - at - key.size());
    EXPECT_NE(seed, "0");
    clock_settings.back() = seed;
    EXPECT_EQ(run_process(command({}, clock_settings)).out, clocked.out);
}

TEST(BattlestatsCli, HelpGoesToStandardOutput) {
    const ProcessResult r = run_process({BATTLESTATS_PATH, "--help"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("Usage: battlestats [OPTIONS]"), std::string::npos);
    EXPECT_NE(r.out.find("--battles INT"), std::string::npos);
}

TEST(BattlestatsCli, BadInputFailsWithOneLineBeforeAnyBattle) {
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--tanks", "x"},
         "battlestats: --tanks: Value x not in range 0 to 2147483647 (see --help)\n"},
        {{"--width", "60"},
         "battlestats: world 60 x 200 is too small for tanks: width and height must be above 60\n"},
        {{"--tanks", "0", "--height", "30"},
         "battlestats: world 200 x 30 is too small for marines: width and height must be above "
         "30\n"},
        {{"--battles", "2147483647"},
         "battlestats: too many battles: 19327352823 results do not fit in memory\n"},
        {{"--csv", "/nonexistent-dir/x.csv"},
         "battlestats: cannot write /nonexistent-dir/x.csv: No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = run_process(command(c.args));
        EXPECT_EQ(r.exit_status, 1) << c.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
    }
}

TEST(BattlestatsCli, ProgressBarOnlyOnATerminal) {
    const ProcessResult plain = run_process(command({"--threads", "2"}));
    ProcessOptions on_terminal;
    on_terminal.stderr_on_terminal = true;
    const ProcessResult shown = run_process(command({"--threads", "2"}), on_terminal);
    ASSERT_EQ(shown.exit_status, 0);
    EXPECT_EQ(plain.err, "");
    EXPECT_EQ(shown.out, plain.out);
    EXPECT_NE(shown.err.find("\r[########################################] 54/54 battles 100%"),
              std::string::npos)
        << shown.err;
}

#ifdef BATTLESIM_PATH
// The last line battlesim's batch run prints for a CSV row: one dot per step,
// then the result.
std::string battlesim_line(const std::vector<std::string>& f) {
    const std::string dots(static_cast<std::size_t>(std::stoi(f[5])), '.');
    if (f[4] == "timeout") return dots + "game over (timeout\xE2\x80\x80seed=" + f[3] + "): draw";
    const std::string verdict = f[4] == "red" ? "RED wins" : f[4] == "blue" ? "BLUE wins" : "draw";
    return dots + "game over (" + f[5] + " steps): " + verdict;
}

// Rows of the CSV file written with `args`, each split into its fields.
std::vector<std::vector<std::string>> csv_rows(const std::vector<std::string>& args) {
    TempDir dir;
    std::vector<std::string> all = args;
    all.insert(all.end(), {"--csv", dir.file("b.csv")});
    const ProcessResult r = run_process(command(all));
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::vector<std::vector<std::string>> rows;
    const std::vector<std::string> lines = lines_of(read_file(dir.file("b.csv")));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> f;
        std::istringstream row(lines[i]);
        for (std::string field; std::getline(row, field, ',');) f.push_back(field);
        rows.push_back(f);
    }
    return rows;
}

// Each CSV row is what battlesim's own batch run gives for that seed.
TEST(BattlestatsCli, RowsAgreeWithBattlesimsBatchRun) {
    const auto rows = csv_rows({"--red", "2,1", "--blue", "0"});
    ASSERT_EQ(rows.size(), 12u);
    for (const auto& f : rows) {
        const ProcessResult sim =
            run_process({BATTLESIM_PATH, "200", "200", "0", f[3], "3", "1", f[1], f[2], "1", "0"});
        ASSERT_EQ(sim.exit_status, 0);
        EXPECT_EQ(lines_of(sim.out).back(), battlesim_line(f)) << f[3];
    }
}

TEST(BattlestatsCli, StalemateRowAgreesWithBattlesimsTimeout) {
    const auto rows = csv_rows({"--red", "2", "--blue", "0", "--battles", "1", "--bounce", "0"});
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0][4], "timeout");
    const auto& f = rows[0];
    const ProcessResult sim =
        run_process({BATTLESIM_PATH, "200", "200", "0", f[3], "3", "1", f[1], f[2], "0", "0"});
    ASSERT_EQ(sim.exit_status, 0);
    EXPECT_EQ(lines_of(sim.out).back(), battlesim_line(f));
}
#endif

}  // namespace
