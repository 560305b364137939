// battlestats as a process: its results, refusals before any battle, its
// files and the progress line.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "Process.h"

namespace {

// A tournament of 9 pairs of 6 small battles that takes a moment.
const std::string SMALL = "--width 200 --height 200 --marines 3 --tanks 1 --battles 6 --seed 11 ";

// battlestats with `args` split at single spaces, then `paths` as they are.
ProcessResult battlestats(const std::string& args, const std::vector<std::string>& paths = {},
                          const ProcessOptions& options = {}) {
    std::vector<std::string> argv = split(args, ' ');
    argv.insert(argv.begin(), BATTLESTATS_PATH);
    argv.insert(argv.end(), paths.begin(), paths.end());
    return run_process(argv, options);
}

// Each command line, after `before`, is refused before any battle (after them
// the table would be printed) and without waiting on a FIFO (the limit).
void expect_refusals(const std::vector<std::pair<std::vector<std::string>, std::string>>& cases,
                     const std::string& before = "") {
    ProcessOptions options;
    options.timeout_ms = 20000;
    for (const auto& [args, message] : cases) {
        const ProcessResult r = battlestats(before, args, options);
        EXPECT_EQ(std::tuple(r.timed_out, r.exit_status, r.out, r.err),
                  std::tuple(false, 1, "", "battlestats: " + message + "\n"));
    }
}

std::string write_file(const TempDir& dir, const std::string& name, const std::string& text) {
    std::ofstream(dir.file(name), std::ios::binary) << text;
    return dir.file(name);
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

// The policy lists are written with their own separator and read back by the merge.
TEST(BattlestatsCli, ThreadCountAndShardsChangeNothing) {
    TempDir dir;
    const std::string lists = SMALL + "--paired --red 2,0 --blue 1,2,0 ";
    const auto one = outputs(lists + "--threads 1");
    EXPECT_EQ(outputs(lists + "--threads 2"), one);
    // A header and a row per battle: 8 pairs, as 0 and 2 play each other both ways.
    const std::vector<std::string> rows = split(one[1], '\n');
    EXPECT_EQ(rows.size(), 49u);
    EXPECT_TRUE(rows[1].ends_with(",200,200,3,1,1,6,11,0;2,0;1;2,1")) << rows[1];
    std::vector<std::string> shards;
    for (const std::string k : {"3", "1", "2"}) {
        shards.push_back(dir.file(k));
        ASSERT_EQ(battlestats(lists + "--shard " + k + "/3 --csv", {shards.back()}).exit_status, 0);
    }
    // A missing shard is refused, not reported as a smaller tournament.
    expect_refusals({{{"--merge", shards[0], shards[1]},
                      "16 of 48 battles missing: merge the CSV files of all shards"}});
    EXPECT_EQ(outputs("--merge", shards), one);  // with the settings of the files
}

TEST(BattlestatsCli, HelpAndOneLineErrorsBeforeAnyBattle) {
    const ProcessResult help = battlestats("--help");
    EXPECT_EQ(std::tuple(help.exit_status, help.out.find("--battles") != std::string::npos),
              std::tuple(0, true));
    const std::string policies = "expected policies 0, 1 or 2 separated by commas, not ";
    expect_refusals(
        {{{"--tanks", "x"}, "--tanks: Value x not in range 0 to 2147483647 (see --help)"},
         {{"--shard", "5/4"}, "--shard: expected K/N with 1 <= K <= N, not \"5/4\" (see --help)"},
         {{"--width", "60"},
          "world 60 x 700 is too small for tanks: width and height must be above 60"},
         {{"--csv", "/nonexistent-dir/x.csv"},
          "Cannot write /nonexistent-dir/x.csv: no such directory"},
         // Not split by the option parser, which would skip the empty items and
         // take the next option for the value.
         {{"--blue", ",", "--battles", "3"}, "--blue: " + policies + "\",\" (see --help)"},
         {{"--red", "0,3"}, "--red: " + policies + "\"0,3\" (see --help)"},
         {{"--merge", "a.csv", "--battles", "3"},
          "--battles cannot be combined with --merge, which takes the settings from the files"}});
}

// Each cell's outcomes take their shares of its 150 pixels before its outline.
// This tournament has cells of one outcome, one of them all draws, and mixed ones.
TEST(BattlestatsCli, HeatMapSplitsEachCellByOutcome) {
    const auto files = outputs(SMALL);
    // Red wins, draws and blue wins of each red and blue policy, from the rows.
    std::map<std::pair<int, int>, std::array<int, 3>> cells;
    const std::vector<std::string> rows = split(files[1], '\n');
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> f = split(rows[i], ',');
        ++cells[{std::stoi(f[1]), std::stoi(f[2])}][f[4] == "red" ? 0 : f[4] == "blue" ? 2 : 1];
    }
    ASSERT_EQ(cells.size(), 9u);
    const char* const fills[] = {"#f28b82", "#d0d0d0", "#8ab4f8"};
    std::ostringstream expected, drawn;
    expected << std::fixed << std::setprecision(1);
    for (const auto& [pair, counts] : cells) {
        for (int part = 0; part < 3; ++part)
            if (counts[part] > 0) expected << fills[part] << ' ' << 150 * counts[part] / 6 << ' ';
        expected << "none 150 draws " << counts[1] * 100.0 / 6 << "% ";
    }
    // The cells' parts and outlines, and the texts in them, as drawn.
    const std::regex mark(R"re(width="(\d+)" height="90" fill="([^"]+)|>(draws [\d.]+%)<)re");
    for (std::sregex_iterator m(files[3].begin(), files[3].end(), mark), end; m != end; ++m)
        drawn << ((*m)[3].matched ? (*m)[3].str() : (*m)[2].str() + ' ' + (*m)[1].str()) << ' ';
    EXPECT_EQ(drawn.str(), expected.str());
}

#ifdef BATTLESIM_PATH
// Every CSV row is battlesim's batch battle of that seed; without bounce some
// battles in this crowded box freeze, which must end as battlesim's timeout.
TEST(BattlestatsCli, RowsAreBattlesimsBatchBattles) {
    const auto files = outputs(
        "--width 120 --height 120 --marines 4 --tanks 0 --bounce 0 --red 1 --blue 0,2 --battles 4 "
        "--seed 77");
    const std::vector<std::string> rows = split(files[1], '\n');
    ASSERT_EQ(rows.size(), 9u);
    const std::map<std::string, std::string> verdicts = {
        {"red", "RED wins"}, {"blue", "BLUE wins"}, {"draw", "draw"}};
    int timeouts = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> f =
            split(rows[i], ',');  // battle, red, blue, seed, result, steps
        const ProcessResult sim =
            run_process({BATTLESIM_PATH, "120", "120", "0", f[3], "4", "0", f[1], f[2], "0", "0"});
        const bool timeout = f[4] == "timeout";
        timeouts += timeout;
        // battlesim's timeout line has an en quad before the seed.
        const std::string end = timeout ? "timeout\xE2\x80\x80seed=" + f[3] + "): draw"
                                        : f[5] + " steps): " + verdicts.at(f[4]);
        EXPECT_EQ(split(sim.out, '\n').back(),
                  std::string(std::stoul(f[5]), '.') + "game over (" + end)
            << rows[i];
    }
    EXPECT_TRUE(timeouts > 0 && timeouts < 8) << timeouts;
}
#endif

const std::string HEADER =
    "battle,red,blue,seed,result,steps,width,height,marines,tanks,bounce,battles,master_seed,"
    "reds,blues,paired\n";
// Battle 0 of master seed 3, red weakest against blue most dangerous.
const std::string BATTLE = "0,0,2,-1989332485,blue,72,";
const std::string SETTINGS = "200,200,3,1,1,1,3,0,2,0";

// Merged files no run could have written are refused, with the run's own
// reason for settings it refuses.
TEST(BattlestatsMerge, RefusesFilesNoRunCouldHaveWritten) {
    TempDir dir;
    const std::string row = BATTLE + SETTINGS + "\n", dot = dir.path() + "/./a.csv";
    const std::string a = write_file(dir, "a.csv", HEADER + row);
    const std::string b = write_file(dir, "b.csv", HEADER + row);
    const std::string twice = write_file(dir, "twice.csv", HEADER + row + row);
    std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--merge", a, b}, b + ":2: same battle as " + a + ":2"},
        {{"--merge", twice}, twice + ":3: same battle as " + twice + ":2"},
        // Not every battle a duplicate of itself.
        {{"--merge", a, b, a}, "--merge names " + a + " twice"},
        {{"--merge", a, dot}, "--merge " + a + " and " + dot + " are the same file"}};
    const std::pair<std::string, std::string> settings[] = {
        {"10,10,2147483647,0,1,1,3,0,2,0",
         "world 10 x 10 is too small for marines: width and height must be above 30"},
        {"200,200,-3,1,1,1,3,0,2,0", "--marines: Value -3 not in range 0 to 2147483647"},
        {"200,200,3,-1,1,1,3,0,2,0", "--tanks: Value -1 not in range 0 to 2147483647"},
        {"200,200,3,1,1,0,3,0,2,0", "--battles: Value 0 not in range 1 to 2147483647"},
        {"200,200,3,1,1,1,3,0;5,2,0", "--red: Value 5 not in range 0 to 2"},
        {"200,200,3,1,1,1,3,0,-1,0", "--blue: Value -1 not in range 0 to 2"},
        {"700,700,2147483647,1,1,1,3,0,2,0",
         "battle too large: 4294967296 units do not fit in memory"}};
    for (const auto& [values, why] : settings) {
        const std::string file =
            write_file(dir, std::to_string(cases.size()), HEADER + BATTLE + values + "\n");
        cases.push_back({{"--merge", file}, file + ":2: a run refuses these settings: " + why});
    }
    expect_refusals(cases);
    // The row the settings change is the one a run writes.
    battlestats(
        "--width 200 --height 200 --marines 3 --tanks 1 --battles 1 --seed 3 --red 0 "
        "--blue 2 --csv",
        {dir.file("run.csv")});
    EXPECT_EQ(read_file(dir.file("run.csv")), HEADER + row);
}

// Before any battle of a tournament that would run for hours.
TEST(BattlestatsFiles, RefusedBeforeAnyBattle) {
    TempDir dir;
    const std::string fifo = dir.file("fifo"), folder = dir.file("folder"), out = dir.file("out");
    const std::string link = dir.file("link");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(symlink(out.c_str(), link.c_str()), 0);  // to a file not made yet
    expect_refusals(
        {
            {{"--csv", fifo}, "Cannot write " + fifo + ": not a regular file"},
            {{"--json", folder}, "Cannot write " + folder + ": is a directory"},
            {{"--svg", ""}, "--svg: empty file name"},
            {{"--csv", out, "--json", out}, "--csv and --json both name " + out},
            {{"--csv", out, "--svg", folder + "/../out"},
             "--csv " + out + " and --svg " + folder + "/../out are the same file"},
            {{"--svg", link, "--json", out},
             "--json " + out + " and --svg " + link + " are the same file"},
            {{"--csv", "-", "--svg", "-"}, "--csv and --svg both write to standard output"},
        },
        "--battles 100000");
    expect_refusals({
        {{"--merge", fifo}, "Cannot read " + fifo + ": not a regular file"},
        {{"--merge", folder}, "Cannot read " + folder + ": is a directory"},
        {{"--merge", out, "--csv", out}, "--csv and --merge both name " + out},
    });
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"fifo", "folder", "link"}));
}

// A full disk gives the system's reason and status 1, for a file and for
// standard output; the other files stay as they were, with no temporary file.
TEST(BattlestatsFiles, AFailedWriteReplacesNothing) {
    TempDir dir;
    write_file(dir, "old.csv", "old\n");
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

// The table's rows rebuilt from the JSON file alone, which holds their
// numbers unrounded, with the counts of the file's own battle rows.
const char* const kRowsFromJson = R"(
import json, sys
d = json.loads(sys.argv[1])
names = ['weakest', 'closest', 'most dangerous']
share = lambda o: '%7.1f%% [%4.1f, %5.1f]' % (100 * o['rate'], 100 * o['low'], 100 * o['high'])
for p in d['summary']['pairs']:
    got = [b['result'] for b in d['battles'] if (b['red'], b['blue']) == (p['red'], p['blue'])]
    counts = [p[k]['count'] for k in ('red_wins', 'draws', 'blue_wins')] + [p['timeouts']]
    assert counts == [got.count('red'), len(got) - got.count('red') - got.count('blue'),
                      got.count('blue'), got.count('timeout')], (p, got)
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
    EXPECT_EQ(rebuilt.err, "");
    std::string rows;  // the table without its headings and notes
    for (const std::string& line : split(files[0], '\n'))
        if (std::regex_search(line, std::regex("^(weakest|closest|most dangerous) ")))
            rows += line + '\n';
    EXPECT_EQ(rebuilt.out, rows);
}

// A run of over a second writes nothing to standard error in a file, and
// under a pseudo-terminal draws the line in place and clears it at the end;
// both write the same rows.
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
        pty.out,
        std::regex("(\r[0-9]+/540 battles, [0-9.]+ per second, [0-9a-z ]+ left *)+\r +\r")))
        << pty.out;
    EXPECT_EQ(read_file(dir.file("b")), read_file(dir.file("a")));
}

}  // namespace
