// battlestats as a process: results, refusals before any battle, files, progress.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <tuple>

#include "Process.h"

namespace {

// A tournament of 9 pairs of 6 small battles that takes a moment.
const std::string SMALL = "--width 200 --height 200 --marines 3 --tanks 1 --battles 6 --seed 11 ";

// battlestats with `args` split at single spaces, then `paths` as they are.
ProcessResult battlestats(const std::string& args, const std::vector<std::string>& paths = {}) {
    std::vector<std::string> argv = split(args, ' ');
    argv.insert(argv.begin(), BATTLESTATS_PATH);
    argv.insert(argv.end(), paths.begin(), paths.end());
    ProcessOptions options;
    options.timeout_ms = 20000;  // a FIFO that blocked would hit it
    return run_process(argv, options);
}

// Each command line, after `before`, is refused before any battle.
void expect_refusals(const std::vector<std::pair<std::vector<std::string>, std::string>>& cases,
                     const std::string& before = "") {
    for (const auto& [args, message] : cases) {
        const ProcessResult r = battlestats(before, args);
        EXPECT_EQ(std::tuple(r.timed_out, r.exit_status, r.out, r.err),
                  std::tuple(false, 1, "", "battlestats: " + message + "\n"));
    }
}

// The printed table and the CSV, JSON and SVG files of a run.
std::vector<std::string> outputs(const std::string& args, std::vector<std::string> paths = {}) {
    TempDir run;
    paths.insert(paths.end(),
                 {"--csv", run.file("c"), "--json", run.file("j"), "--svg", run.file("s")});
    const ProcessResult r = battlestats(args, paths);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    return {r.out, read_file(run.file("c")), read_file(run.file("j")), read_file(run.file("s"))};
}

TEST(BattlestatsCli, ThreadCountAndShardsChangeNothing) {
    TempDir dir;
    const std::string lists = SMALL + "--paired --red 2,0 --blue 1,2,0 ";
    const auto one = outputs(lists + "--threads 1");
    EXPECT_EQ(outputs(lists + "--threads 2"), one);
    // 8 pairs, as 0 and 2 play each other both ways; the lists with their own separator.
    const std::vector<std::string> rows = split(one[1], '\n');
    EXPECT_EQ(rows.size(), 49u);
    EXPECT_TRUE(rows[1].ends_with(",200,200,3,1,1,6,11,0;2,0;1;2,1")) << rows[1];
    std::vector<std::string> shards;
    for (const std::string k : {"3", "1", "2"}) {
        shards.push_back(dir.file(k));
        ASSERT_EQ(battlestats(lists + "--shard " + k + "/3 --csv", {shards.back()}).exit_status, 0);
    }
    expect_refusals({{{"--merge", shards[0], shards[1]},
                      "16 of 48 battles missing: merge the CSV files of all shards"}});
    EXPECT_EQ(outputs("--merge", shards), one);
}

// Bad options and merged files no run could have written, with the run's own reason.
TEST(BattlestatsCli, OneLineErrorsBeforeAnyBattle) {
    TempDir dir;
    const std::string header =
        "battle,red,blue,seed,result,steps,width,height,marines,tanks,bounce,battles,master_seed,"
        "reds,blues,paired\n";
    const std::string battle = "0,0,2,-1989332485,blue,72,",
                      row = battle + "200,200,3,1,1,1,3,0,2,0\n";
    const auto write = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir.file(name)) << header << text;
        return dir.file(name);
    };
    const std::string a = write("a.csv", row), b = write("b.csv", row);
    const std::string dot = dir.path() + "/./a.csv";
    const std::string big = write("big.csv", battle + "700,700,2147483647,1,1,1,3,0,2,0\n");
    expect_refusals(
        {{{"--tanks", "x"}, "--tanks: Value x not in range 0 to 2147483647 (see --help)"},
         {{"--shard", "5/4"}, "--shard: expected K/N with 1 <= K <= N, not \"5/4\" (see --help)"},
         // Empty items are not skipped, nor the next option taken for the value.
         {{"--blue", ",", "--battles", "3"},
          "--blue: expected policies 0, 1 or 2 separated by commas, not \",\" (see --help)"},
         {{"--merge", "a.csv", "--battles", "3"},
          "--battles cannot be combined with --merge, which takes the settings from the files"},
         {{"--merge", a, b}, b + ":2: same battle as " + a + ":2"},
         {{"--merge", a, b, a}, "--merge names " + a + " twice"},
         {{"--merge", a, dot}, "--merge " + a + " and " + dot + " are the same file"},
         {{"--merge", big},
          big + ":2: a run refuses these settings: battle too large: "
                "4294967296 units do not fit in memory"}});
}

// Before any battle of a tournament that would run for hours; no file made.
TEST(BattlestatsFiles, RefusedBeforeAnyBattle) {
    TempDir dir;
    const std::string fifo = dir.file("fifo"), folder = dir.file("folder"), out = dir.file("out");
    const std::string link = dir.file("link");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(symlink(out.c_str(), link.c_str()), 0);  // to a file not made yet
    expect_refusals(
        {{{"--csv", fifo}, "Cannot write " + fifo + ": not a regular file"},
         {{"--json", folder}, "Cannot write " + folder + ": is a directory"},
         {{"--svg", ""}, "--svg: empty file name"},
         {{"--svg", link, "--json", out},
          "--json " + out + " and --svg " + link + " are the same file"},
         {{"--csv", "-", "--svg", "-"}, "--csv and --svg both write to standard output"}},
        "--battles 100000");
    expect_refusals({{{"--merge", fifo}, "Cannot read " + fifo + ": not a regular file"},
                     {{"--merge", out, "--csv", out}, "--csv and --merge both name " + out}});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

// A full disk, for a file or standard output: its reason, status 1, the other files kept.
TEST(BattlestatsFiles, AFailedWriteReplacesNothing) {
    TempDir dir;
    std::ofstream(dir.file("old.csv")) << "old\n";
    const ProcessResult r =
        battlestats(SMALL + "--csv", {dir.file("old.csv"), "--json", "/dev/full"});
    EXPECT_EQ(std::tuple(r.exit_status, r.err),
              std::tuple(1, "battlestats: Cannot write /dev/full: no space left on device\n"));
    EXPECT_EQ(read_file(dir.file("old.csv")), "old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    const ProcessResult full =
        run_process({"sh", "-c", BATTLESTATS_PATH " " + SMALL + ">/dev/full"});
    EXPECT_EQ(
        std::tuple(full.exit_status, full.err),
        std::tuple(1, "battlestats: Cannot write standard output: no space left on device\n"));
}

// "-" puts one file on standard output, in place of the table: its very bytes.
TEST(BattlestatsFiles, DashIsStandardOutput) {
    const std::string args = SMALL + "--paired --red 0,2";
    const auto files = outputs(args);
    const std::string options[] = {"--csv", "--json", "--svg"};
    for (int i = 0; i < 3; ++i) {
        const ProcessResult r = battlestats(args, {options[i], "-"});
        EXPECT_EQ(std::tuple(r.exit_status, r.out, r.err), std::tuple(0, files[i + 1], ""))
            << options[i];
    }
}

// The table's rows rebuilt from the JSON file alone.
const char* const kRowsFromJson = R"(
import json, sys
d = json.loads(sys.argv[1])
names = ['weakest', 'closest', 'most dangerous']
share = lambda o: '%7.1f%% [%4.1f, %5.1f]' % (100 * o['rate'], 100 * o['low'], 100 * o['high'])
for p in d['summary']['pairs']:
    print('%-15s %-15s %9d%s%s%s%12.1f%14.1f%10d' % (names[p['red']], names[p['blue']],
          p['battles'], share(p['red_wins']), share(p['draws']), share(p['blue_wins']),
          p['mean_steps'], p['median_steps'], p['timeouts']))
for s in d['summary']['paired']:
    print('%-15s vs %-15s %.3f [%.3f, %.3f] over %d layouts' % (names[s['a']], names[s['b']],
          s['score'], s['low'], s['high'], s['layouts']))
)";

TEST(BattlestatsFiles, JsonSummaryHoldsTheTablesNumbers) {
    const auto files = outputs(SMALL + "--paired --red 0,2");
    const ProcessResult rebuilt = run_process({"python3", "-c", kRowsFromJson, files[2]});
    std::string rows;  // the table without its headings and notes
    for (const std::string& line : split(files[0], '\n'))
        if (std::regex_search(line, std::regex("^(weakest|closest|most dangerous) ")))
            rows += line + '\n';
    EXPECT_EQ(std::tuple(rebuilt.out, rebuilt.err), std::tuple(rows, ""));
}

// Drawn in place and cleared only under a pseudo-terminal, with the same rows.
TEST(BattlestatsProgress, OnATerminalOnly) {
    TempDir dir;
    const std::string args = "--battles 60 --threads 1 --seed 5 --csv ";
    const ProcessResult piped = battlestats(args + dir.file("a"));
    EXPECT_EQ(std::tuple(piped.exit_status, piped.err), std::tuple(0, ""));
    const ProcessResult pty =
        run_process({"script", "-qec", BATTLESTATS_PATH " " + args + dir.file("b") + " >/dev/null",
                     "/dev/null"});
    ASSERT_EQ(pty.exit_status, 0) << pty.out << pty.err;
    EXPECT_TRUE(std::regex_match(
        pty.out, std::regex("(\r[0-9]+/540 battles, [0-9.]+ per second, "
                            "([0-9]+ s|[0-9]+ min [0-9]{2} s|[0-9]+ h [0-9]+ min) left *)+\r +\r")))
        << pty.out;
    EXPECT_EQ(read_file(dir.file("b")), read_file(dir.file("a")));
}

}  // namespace
