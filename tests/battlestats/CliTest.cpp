// battlestats as a process: the same results for any thread count and for
// merged shards, rows that are battlesim's own battles, and command lines
// refused before any battle runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <map>
#include <sstream>

#include "Process.h"

namespace {

// With `small`, a tournament of 9 pairs of 6 small battles that takes a moment.
ProcessResult battlestats(const std::vector<std::string>& args, bool small = true) {
    std::vector<std::string> argv = split(
        small ? "--width 200 --height 200 --marines 3 --tanks 1 --battles 6 --seed 11" : "", ' ');
    argv.insert(argv.begin(), BATTLESTATS_PATH);
    argv.insert(argv.end(), args.begin(), args.end());
    return run_process(argv);
}

// Every output file at one thread and at two, and from three shards merged.
TEST(BattlestatsCli, ThreadCountAndShardsChangeNothing) {
    TempDir dir;
    const auto outputs = [&](const std::string& name, std::vector<std::string> args) {
        args.insert(args.end(), {"--csv", dir.file(name + ".csv"), "--json",
                                 dir.file(name + ".json"), "--svg", dir.file(name + ".svg")});
        // A merge takes its settings from the files.
        const ProcessResult r = battlestats(args, args[0] != "--merge");
        EXPECT_EQ(r.exit_status, 0) << r.err;
        return std::vector<std::string>{r.out, read_file(dir.file(name + ".csv")),
                                        read_file(dir.file(name + ".json")),
                                        read_file(dir.file(name + ".svg"))};
    };
    const auto one = outputs("1", {"--paired", "--threads", "1"});
    EXPECT_EQ(outputs("2", {"--paired", "--threads", "2"}), one);
    EXPECT_EQ(split(one[1], '\n').size(), 55u);  // a header and a row per battle
    std::vector<std::string> merge = {"--merge"};
    for (const std::string k : {"3", "1", "2"}) {
        ASSERT_EQ(battlestats({"--paired", "--shard", k + "/3", "--csv", dir.file(k)}).exit_status,
                  0);
        merge.push_back(dir.file(k));
    }
    // A missing shard must be refused, not reported as a smaller tournament.
    const ProcessResult partial = battlestats({merge.begin(), merge.end() - 1}, false);
    EXPECT_EQ(partial.exit_status, 1);
    EXPECT_EQ(partial.out, "");
    EXPECT_EQ(outputs("merged", merge), one);
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

// In every cell of 6 battles each outcome takes its share of the 150 pixels,
// in the order red wins, draws, blue wins, right before the cell's outline;
// the draws' share is written in the cell. This tournament has cells of a
// single outcome, one of them all draws, and mixed ones.
TEST(BattlestatsCli, HeatMapSplitsEachCellByOutcome) {
    TempDir dir;
    const ProcessResult r = battlestats({"--svg", dir.file("m"), "--csv", dir.file("c")});
    ASSERT_EQ(r.exit_status, 0) << r.err;
    std::map<std::pair<int, int>, std::map<std::string, int>> cells;
    const std::vector<std::string> rows = split(read_file(dir.file("c")), '\n');
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> f = split(rows[i], ',');
        ++cells[{std::stoi(f[1]), std::stoi(f[2])}][f[4] == "timeout" ? "draw" : f[4]];
    }
    ASSERT_EQ(cells.size(), 9u);
    const std::string svg = read_file(dir.file("m"));
    for (auto& [pair, counts] : cells) {
        const std::string top = std::to_string(110 + 90 * pair.first);
        const int left = 150 + 150 * pair.second;
        std::string shares;
        int x = left;
        for (const auto& [outcome, fill] :
             {std::pair{"red", "#f28b82"}, std::pair{"draw", "#d0d0d0"},
              std::pair{"blue", "#8ab4f8"}}) {
            const int width = counts[outcome] * 25;
            if (width == 0) continue;
            shares += "<rect x=\"" + std::to_string(x) + "\" y=\"" + top + "\" width=\"" +
                      std::to_string(width) + "\" height=\"90\" fill=\"" + fill + "\"/>\n";
            x += width;
        }
        EXPECT_EQ(x, left + 150);
        shares += "<rect x=\"" + std::to_string(left) + "\" y=\"" + top +
                  "\" width=\"150\" height=\"90\" fill=\"none\"";
        EXPECT_NE(svg.find(shares), std::string::npos) << shares << "\n" << svg;
        std::ostringstream draws;
        draws << std::fixed << std::setprecision(1) << "<text x=\"" << left + 75 << "\" y=\""
              << 186 + 90 * pair.first << "\" font-size=\"12\" text-anchor=\"middle\">draws "
              << counts["draw"] * 100.0 / 6 << "%<";
        EXPECT_NE(svg.find(draws.str()), std::string::npos) << draws.str();
    }
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
