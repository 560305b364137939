// battlestats as a process: the same results for any thread count and for
// merged shards, rows that are battlesim's own battles, command lines and
// files refused before any battle runs, merged files no run could have
// written refused with the run's own reason, the JSON summary, standard
// output as a file, and the progress line.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
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

void expect_refusal(const ProcessResult& r, const std::string& message) {
    EXPECT_EQ(std::tuple(r.exit_status, r.out, r.err),
              std::tuple(1, "", "battlestats: " + message + "\n"));
}

std::string write_file(const TempDir& dir, const std::string& name, const std::string& text) {
    std::ofstream(dir.file(name), std::ios::binary) << text;
    return dir.file(name);
}

// Every output file at one thread and at two, and from three shards merged.
// The policy lists are written with their own separator and read back by the merge.
TEST(BattlestatsCli, ThreadCountAndShardsChangeNothing) {
    TempDir dir;
    // The printed table and the three files, in a directory of each run's own.
    const auto outputs = [](const std::string& args, std::vector<std::string> paths) {
        TempDir run;
        paths.insert(paths.end(),
                     {"--csv", run.file("c"), "--json", run.file("j"), "--svg", run.file("s")});
        const ProcessResult r = battlestats(args, paths);
        EXPECT_EQ(r.exit_status, 0) << r.err;
        return std::vector<std::string>{r.out, read_file(run.file("c")), read_file(run.file("j")),
                                        read_file(run.file("s"))};
    };
    const std::string lists = SMALL + "--paired --red 2,0 --blue 1,2,0 ";
    const auto one = outputs(lists + "--threads 1", {});
    EXPECT_EQ(outputs(lists + "--threads 2", {}), one);
    // A header and a row per battle: 8 pairs, as 0 and 2 play each other both ways.
    const std::vector<std::string> rows = split(one[1], '\n');
    EXPECT_EQ(rows.size(), 49u);
    EXPECT_TRUE(rows[1].ends_with(",200,200,3,1,1,6,11,0;2,0;1;2,1")) << rows[1];
    std::vector<std::string> shards;
    for (const std::string k : {"3", "1", "2"}) {
        shards.push_back(dir.file(k));
        ASSERT_EQ(battlestats(lists + "--shard " + k + "/3 --csv", {shards.back()}).exit_status, 0);
    }
    // A missing shard must be refused, not reported as a smaller tournament.
    expect_refusal(battlestats("--merge", {shards[0], shards[1]}),
                   "16 of 48 battles missing: merge the CSV files of all shards");
    // A merge takes its settings from the files.
    EXPECT_EQ(outputs("--merge", shards), one);
}

TEST(BattlestatsCli, HelpAndOneLineErrorsBeforeAnyBattle) {
    const ProcessResult help = battlestats("--help");
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_NE(help.out.find("--battles"), std::string::npos) << help.out;
    // A refusal after the battles of the default tournament would follow its table.
    const std::pair<std::string, std::string> cases[] = {
        {"--tanks x", "--tanks: Value x not in range 0 to 2147483647 (see --help)"},
        {"--shard 5/4", "--shard: expected K/N with 1 <= K <= N, not \"5/4\" (see --help)"},
        {"--width 60", "world 60 x 700 is too small for tanks: width and height must be above 60"},
        {"--csv /nonexistent-dir/x.csv", "Cannot write /nonexistent-dir/x.csv: no such directory"},
        // The list is not split by the option parser, which would skip the
        // empty items and take the next option for the value.
        {"--blue , --battles 3",
         "--blue: expected policies 0, 1 or 2 separated by commas, not \",\" (see --help)"},
        {"--red 0,3",
         "--red: expected policies 0, 1 or 2 separated by commas, not \"0,3\" (see --help)"},
        {"--merge a.csv --battles 3",
         "--battles cannot be combined with --merge, which takes the settings from the files"},
    };
    for (const auto& [args, message] : cases) expect_refusal(battlestats(args), message);
}

// In every cell of 6 battles each outcome takes its share of the 150 pixels,
// in the order red wins, draws, blue wins, before the cell's outline; the
// draws' share is written in the cell. This tournament has cells of a single
// outcome, one of them all draws, and mixed ones.
TEST(BattlestatsCli, HeatMapSplitsEachCellByOutcome) {
    TempDir dir;
    const ProcessResult r = battlestats(SMALL, {"--svg", dir.file("m"), "--csv", dir.file("c")});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    // Red wins, draws and blue wins of each red and blue policy, from the rows.
    std::map<std::pair<int, int>, std::array<int, 3>> cells;
    const std::vector<std::string> rows = split(read_file(dir.file("c")), '\n');
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
    const std::string svg = read_file(dir.file("m"));
    const std::regex mark(R"re(width="(\d+)" height="90" fill="([^"]+)|>(draws [\d.]+%)<)re");
    for (std::sregex_iterator m(svg.begin(), svg.end(), mark), end; m != end; ++m)
        drawn << ((*m)[3].matched ? (*m)[3].str() : (*m)[2].str() + ' ' + (*m)[1].str()) << ' ';
    EXPECT_EQ(drawn.str(), expected.str());
}

#ifdef BATTLESIM_PATH
// Every CSV row is the battle battlesim's batch run plays with that seed: a
// dot per step, then its result. In this crowded box without bounce some
// battles are decided and the others freeze, which must end as battlesim's
// timeout.
TEST(BattlestatsCli, RowsAreBattlesimsBatchBattles) {
    TempDir dir;
    const ProcessResult r = battlestats(
        "--width 120 --height 120 --marines 4 --tanks 0 --bounce 0 --red 1 --blue 0,2 --battles 4 "
        "--seed 77 --csv",
        {dir.file("b.csv")});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    const std::vector<std::string> rows = split(read_file(dir.file("b.csv")), '\n');
    ASSERT_EQ(rows.size(), 9u);
    const std::map<std::string, std::string> verdicts = {
        {"red", "RED wins"}, {"blue", "BLUE wins"}, {"draw", "draw"}};
    int timeouts = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        // battle, red, blue, seed, result, steps, ...
        const std::vector<std::string> f = split(rows[i], ',');
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

TEST(BattlestatsMerge, RefusesSettingsARunRefuses) {
    TempDir dir;
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
        expect_refusal(battlestats("--merge", {file}),
                       file + ":2: a run refuses these settings: " + why);
    }
    // The row the cases change is the one a run writes. (Merging what a run
    // wrote is checked with the shards.)
    battlestats(
        "--width 200 --height 200 --marines 3 --tanks 1 --battles 1 --seed 3 --red 0 --blue 2 "
        "--csv",
        {dir.file("run.csv")});
    EXPECT_EQ(read_file(dir.file("run.csv")), HEADER + BATTLE + SETTINGS + "\n");
}

TEST(BattlestatsMerge, NamesBothPlacesOfABattleReadTwice) {
    TempDir dir;
    const std::string row = BATTLE + SETTINGS + "\n";
    const std::string a = write_file(dir, "a.csv", HEADER + row);
    const std::string b = write_file(dir, "b.csv", HEADER + row);
    expect_refusal(battlestats("--merge", {a, b}), b + ":2: same battle as " + a + ":2");
    const std::string twice = write_file(dir, "twice.csv", HEADER + row + row);
    expect_refusal(battlestats("--merge", {twice}), twice + ":3: same battle as " + twice + ":2");
    // One file given twice is named as such, not as every battle a duplicate of itself.
    expect_refusal(battlestats("--merge", {a, b, a}), "--merge names " + a + " twice");
    expect_refusal(battlestats("--merge", {a, dir.path() + "/./a.csv"}),
                   "--merge " + a + " and " + dir.path() + "/./a.csv are the same file");
}

// Names that cannot take an output or give an input are refused before any
// battle of a tournament that would run for hours: a refusal after the
// battles, or a wait on the FIFO, would run into the time limit.
TEST(BattlestatsFiles, RefusedBeforeAnyBattle) {
    TempDir dir;
    const std::string fifo = dir.file("fifo"), folder = dir.file("folder"), out = dir.file("out");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(symlink(out.c_str(), dir.file("link").c_str()), 0);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--csv", fifo}, "Cannot write " + fifo + ": not a regular file"},
        {{"--merge", fifo}, "Cannot read " + fifo + ": not a regular file"},
        {{"--json", folder}, "Cannot write " + folder + ": is a directory"},
        {{"--merge", folder}, "Cannot read " + folder + ": is a directory"},
        {{"--svg", ""}, "--svg: empty file name"},
        {{"--csv", out, "--json", out}, "--csv and --json both name " + out},
        {{"--csv", out, "--svg", folder + "/../out"},
         "--csv " + out + " and --svg " + folder + "/../out are the same file"},
        // A link to a file not made yet.
        {{"--svg", dir.file("link"), "--json", out},
         "--json " + out + " and --svg " + dir.file("link") + " are the same file"},
        {{"--merge", out, "--csv", out}, "--csv and --merge both name " + out},
        {{"--csv", "-", "--svg", "-"}, "--csv and --svg both write to standard output"},
    };
    ProcessOptions options;
    options.timeout_ms = 20000;
    for (const auto& [args, message] : cases) {
        const bool merge = args[0] == "--merge";
        const ProcessResult r = battlestats(merge ? "" : "--battles 100000", args, options);
        EXPECT_FALSE(r.timed_out) << message;
        expect_refusal(r, message);
    }
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"fifo", "folder", "link"}));
}

// A full disk gives the system's reason and status 1, for a file and for
// standard output; the run's other files are then left as they were, and
// no temporary file stays behind.
TEST(BattlestatsFiles, AFailedWriteReplacesNothing) {
    TempDir dir;
    write_file(dir, "old.csv", "old\n");
    const ProcessResult r =
        battlestats(SMALL + "--csv", {dir.file("old.csv"), "--json", "/dev/full"});
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, "battlestats: Cannot write /dev/full: no space left on device\n");
    EXPECT_EQ(read_file(dir.file("old.csv")), "old\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    std::vector<std::string> argv{"sh", "-c", "exec \"$0\" \"$@\" >/dev/full", BATTLESTATS_PATH};
    for (const std::string& arg : split(SMALL, ' ')) argv.push_back(arg);
    const ProcessResult full = run_process(argv);
    EXPECT_EQ(full.exit_status, 1);
    EXPECT_EQ(full.err, "battlestats: Cannot write standard output: no space left on device\n");
}

// "-" puts one file on standard output, in place of the table: the bytes the
// file would hold.
TEST(BattlestatsFiles, DashIsStandardOutput) {
    TempDir dir;
    const std::string args = SMALL + "--paired --red 0,2";
    ASSERT_EQ(
        battlestats(args, {"--csv", dir.file("c"), "--json", dir.file("j"), "--svg", dir.file("s")})
            .exit_status,
        0);
    for (const auto& [option, file] : {std::pair{"--csv", "c"}, {"--json", "j"}, {"--svg", "s"}}) {
        const ProcessResult r = battlestats(args, {option, "-"});
        EXPECT_EQ(std::tuple(r.exit_status, r.err), std::tuple(0, "")) << option;
        EXPECT_EQ(r.out, read_file(dir.file(file))) << option;
    }
}

// The numbers of a line of text, such as "6", "16.7%" and "56.4" of a table
// row, or those of a JSON line ("null" included).
std::vector<std::string> numbers_in(const std::string& line) {
    static const std::regex number(R"(null|-?[0-9][0-9.eE+-]*%?)");
    std::vector<std::string> found;
    for (std::sregex_iterator m(line.begin(), line.end(), number), end; m != end; ++m)
        found.push_back(m->str());
    return found;
}

std::string decimals(const std::string& number, int count, double scale = 1) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", count, scale * std::stod(number));
    return text;
}

// The JSON file is valid JSON whose summary holds the printed table's
// numbers unrounded (each pair's battles, shares with their intervals, mean
// and median steps, timeouts, then the paired scores), and whose counts are
// those of its own rows.
TEST(BattlestatsFiles, JsonSummaryHoldsTheTablesNumbers) {
    TempDir dir;
    const ProcessResult r = battlestats(SMALL + "--paired --red 0,2 --json", {dir.file("j")});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    const ProcessResult parsed = run_process(
        {"python3", "-c", "import json, sys; json.load(open(sys.argv[1]))", dir.file("j")});
    EXPECT_EQ(parsed.exit_status, 0) << parsed.err;

    std::vector<std::string> table = split(r.out, '\n');
    const auto row = std::find_if(table.begin(), table.end(),
                                  [](const std::string& l) { return l.starts_with("red "); });
    const auto rows_end = std::find_if(
        row, table.end(), [](const std::string& l) { return l.starts_with("shares with"); });
    const auto paired = std::find_if(
        rows_end, table.end(), [](const std::string& l) { return l.starts_with("paired score"); });
    ASSERT_TRUE(row != table.end() && paired != table.end()) << r.out;
    std::vector<std::string> pair_rows(row + 1, rows_end), paired_rows(paired + 1, table.end());

    // red, blue -> red wins, draws, blue wins, timeouts counted from the rows.
    std::map<std::pair<std::string, std::string>, std::array<int, 4>> tally;
    const std::regex battle(R"re("red": (\d), "blue": (\d), "seed": -?\d+, "result": "(\w+)")re");
    std::vector<std::string> pairs, scores;
    for (const std::string& line : split(read_file(dir.file("j")), '\n')) {
        std::smatch m;
        if (std::regex_search(line, m, battle)) {
            const std::string result = m[3];
            auto& t = tally[{m[1], m[2]}];
            ++t[result == "red" ? 0 : result == "blue" ? 2 : 1];
            t[3] += result == "timeout";
        } else if (line.starts_with("      {\"red\"")) {
            pairs.push_back(line);
        } else if (line.starts_with("      {\"a\"")) {
            scores.push_back(line);
        }
    }
    ASSERT_EQ(pairs.size(), pair_rows.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        // red, blue, battles, (count, rate, low, high) x 3, timeouts, mean, median
        const std::vector<std::string> n = numbers_in(pairs[i]);
        ASSERT_EQ(n.size(), 18u) << pairs[i];
        std::vector<std::string> want{n[2]};
        for (int k = 0; k < 3; ++k) {
            want.insert(want.end(),
                        {decimals(n[4 + 4 * k], 1, 100) + "%", decimals(n[5 + 4 * k], 1, 100),
                         decimals(n[6 + 4 * k], 1, 100)});
        }
        want.insert(want.end(), {decimals(n[16], 1), decimals(n[17], 1), n[15]});
        EXPECT_EQ(numbers_in(pair_rows[i]), want) << pair_rows[i];
        const auto& t = tally[{n[0], n[1]}];
        EXPECT_EQ((std::vector<std::string>{n[3], n[7], n[11], n[15]}),
                  (std::vector<std::string>{std::to_string(t[0]), std::to_string(t[1]),
                                            std::to_string(t[2]), std::to_string(t[3])}));
    }
    ASSERT_EQ(scores.size(), paired_rows.size());
    for (std::size_t i = 0; i < scores.size(); ++i) {
        // a, b, layouts, score, low, high
        const std::vector<std::string> n = numbers_in(scores[i]);
        ASSERT_EQ(n.size(), 6u) << scores[i];
        EXPECT_EQ(numbers_in(paired_rows[i]),
                  (std::vector<std::string>{decimals(n[3], 3), decimals(n[4], 3), decimals(n[5], 3),
                                            n[2]}));
    }
}

// The progress line is for a terminal only: a run of over a second writes
// nothing to standard error in a file, and under a pseudo-terminal draws the
// line in place and clears it at the end. Both runs write the same rows.
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
