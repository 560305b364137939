// battlestats as a process: the same results for any thread count and for
// merged shards, rows that are battlesim's own battles, and command lines
// refused before any battle runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "Process.h"

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

// With `small`, a tournament of 9 pairs of 6 small battles that takes a moment.
ProcessResult battlestats(const std::vector<std::string>& args, bool small = true) {
    std::vector<std::string> argv = split(
        small ? "--width 200 --height 200 --marines 3 --tanks 1 --battles 6 --seed 11" : "", ' ');
    argv.insert(argv.begin(), BATTLESTATS_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    return run_process(argv);
}

TEST(BattlestatsCli, ThreadCountChangesNothing) {
    TempDir dir;
    std::vector<std::string> outputs[2];
    for (const int threads : {1, 2}) {
        const std::string file = dir.file(std::to_string(threads));
        const ProcessResult r =
            battlestats({"--paired", "--threads", std::to_string(threads), "--csv", file + ".csv",
                         "--json", file + ".json", "--svg", file + ".svg"});
        ASSERT_EQ(r.exit_status, 0) << r.err;
        outputs[threads - 1] = {r.out, read_file(file + ".csv"), read_file(file + ".json"),
                                read_file(file + ".svg")};
    }
    EXPECT_EQ(outputs[1], outputs[0]);
    EXPECT_EQ(split(outputs[0][1], '\n').size(), 55u);  // a header and a row per battle
}

TEST(BattlestatsCli, MergedShardsEqualOneRun) {
    TempDir dir;
    const ProcessResult whole = battlestats({"--csv", dir.file("all")});
    ASSERT_EQ(whole.exit_status, 0) << whole.err;
    std::vector<std::string> merge = {"--merge"};
    for (const std::string k : {"3", "1", "2"}) {
        ASSERT_EQ(battlestats({"--shard", k + "/3", "--csv", dir.file(k)}).exit_status, 0);
        merge.push_back(dir.file(k));
    }
    // A missing shard must be refused, not reported as a smaller tournament.
    const ProcessResult partial = battlestats({merge.begin(), merge.end() - 1}, false);
    EXPECT_EQ(partial.exit_status, 1);
    EXPECT_EQ(partial.out, "");
    merge.insert(merge.end(), {"--csv", dir.file("merged")});
    const ProcessResult merged = battlestats(merge, false);
    ASSERT_EQ(merged.exit_status, 0) << merged.err;
    EXPECT_EQ(merged.out, whole.out);
    EXPECT_EQ(read_file(dir.file("merged")), read_file(dir.file("all")));
}

TEST(BattlestatsCli, HelpAndOneLineErrorsBeforeAnyBattle) {
    const ProcessResult help = battlestats({"--help"}, false);
    EXPECT_EQ(help.exit_status, 0);
    EXPECT_NE(help.out.find("--battles"), std::string::npos) << help.out;
    // The default tournament runs for minutes: a refusal after battles would time out.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--tanks", "x"}, "--tanks"},
        {{"--shard", "5/4"}, "5/4"},
        {{"--width", "60"}, "too small"},
        {{"--csv", "/nonexistent-dir/x.csv"}, "/nonexistent-dir/x.csv"},
        {{"--merge", "a.csv", "--battles", "3"}, "--battles"},
    };
    for (const auto& [args, part] : cases) {
        const ProcessResult r = battlestats(args, false);
        EXPECT_EQ(r.exit_status, 1) << part;
        EXPECT_EQ(r.out, "") << part;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
    }
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Without units every battle is a draw: every cell must be the draw colour
// over its whole width, never the blue of blue wins.
TEST(BattlestatsCli, HeatMapPaintsDrawsInTheirOwnColour) {
    TempDir dir;
    const ProcessResult r = battlestats({"--marines", "0", "--tanks", "0", "--svg", dir.file("m")});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    const std::string svg = read_file(dir.file("m"));
    const std::string draw = "#d0d0d0";
    const std::string blue_win = "#8ab4f8";
    EXPECT_EQ(occurrences(svg, "width=\"150\" height=\"90\" fill=\"" + draw + "\""), 9u) << svg;
    EXPECT_EQ(occurrences(svg, "draws 100.0%"), 9u) << svg;
    // Only the legend's swatch, the one with an outline, is blue.
    EXPECT_EQ(occurrences(svg, blue_win), 1u) << svg;
    EXPECT_EQ(occurrences(svg, "fill=\"" + blue_win + "\" stroke="), 1u) << svg;
}

// In a cell of 6 battles each outcome takes its share of the 150 pixels, in
// the order red wins, draws, blue wins.
TEST(BattlestatsCli, HeatMapSplitsACellByOutcome) {
    TempDir dir;
    const ProcessResult r = battlestats({"--svg", dir.file("m"), "--csv", dir.file("c")});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    std::map<std::string, int> counts;
    for (const std::string& row : split(read_file(dir.file("c")), '\n')) {
        const std::vector<std::string> f = split(row, ',');
        if (f[1] == "0" && f[2] == "0") ++counts[f[4] == "timeout" ? "draw" : f[4]];
    }
    const std::string svg = read_file(dir.file("m"));
    int x = 150;
    for (const auto& [outcome, fill] : {std::pair{"red", "#f28b82"}, std::pair{"draw", "#d0d0d0"},
                                        std::pair{"blue", "#8ab4f8"}}) {
        const int width = counts[outcome] * 25;
        if (width == 0) continue;
        const std::string rect = "<rect x=\"" + std::to_string(x) + "\" y=\"110\" width=\"" +
                                 std::to_string(width) + "\" height=\"90\" fill=\"" + fill + "\"/>";
        EXPECT_NE(svg.find(rect), std::string::npos) << rect << "\n" << svg;
        x += width;
    }
    EXPECT_EQ(x, 300);
}

#ifdef BATTLESIM_PATH
// Every CSV row is the battle battlesim's batch run plays with that seed: a
// dot per step, then its result. In this crowded box without bounce some
// battles are decided and the others freeze, which must end as battlesim's
// timeout.
TEST(BattlestatsCli, RowsAreBattlesimsBatchBattles) {
    TempDir dir;
    std::vector<std::string> args = split(
        "--width 120 --height 120 --marines 4 --tanks 0 --bounce 0 --red 1 --blue 0,2 --battles 4 "
        "--seed 77 --csv",
        ' ');
    args.push_back(dir.file("b.csv"));
    const ProcessResult r = battlestats(args, false);
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

}  // namespace
