// The CSV and JSON rows of a tournament, and merging shard files back into
// the whole tournament with every kind of mismatch refused.

#include <gtest/gtest.h>

#include <sstream>

#include "ResultFiles.h"
#include "SampleResult.h"

namespace {

std::string csv_of(const TournamentResult& r) {
    std::ostringstream out;
    write_csv(out, r);
    return out.str();
}

// The sample's CSV with its rows split between two files.
std::vector<CsvInput> sample_shards() {
    std::istringstream all(csv_of(sample_result()));
    std::string line;
    std::getline(all, line);
    std::string a = line + "\n";
    std::string b = line + "\n";
    for (int i = 0; std::getline(all, line); ++i) (i % 2 == 0 ? a : b) += line + "\n";
    return {{"a.csv", a}, {"b.csv", b}};
}

std::string merge_problem(const std::vector<CsvInput>& inputs) {
    TournamentResult merged;
    return merge_csv(inputs, merged);
}

TEST(BattlestatsCsv, OneRowPerBattleWithItsTournamentSettings) {
    EXPECT_EQ(csv_of(sample_result()),
              "battle,red,blue,seed,result,steps,width,height,marines,tanks,bounce,battles,"
              "master_seed,reds,blues,paired\n"
              "0,0,1,1690061162,red,120,320,240,4,1,1,2,5,01,1,1\n"
              "1,0,1,-501663330,draw,64,320,240,4,1,1,2,5,01,1,1\n"
              "0,1,0,1690061162,blue,90,320,240,4,1,1,2,5,01,1,1\n"
              "1,1,0,-501663330,timeout,1000000,320,240,4,1,1,2,5,01,1,1\n"
              "0,1,1,1690061162,red,33,320,240,4,1,1,2,5,01,1,1\n"
              "1,1,1,-501663330,blue,47,320,240,4,1,1,2,5,01,1,1\n");
}

TEST(BattlestatsJson, SettingsAndOneRowPerBattle) {
    std::ostringstream out;
    write_json(out, sample_result());
    EXPECT_EQ(out.str(),
              "{\n"
              "  \"settings\": {\"width\": 320, \"height\": 240, \"marines\": 4, \"tanks\": 1, "
              "\"bounce\": true, \"battles\": 2, \"master_seed\": 5, \"reds\": [0, 1], \"blues\": "
              "[1], \"paired\": true},\n"
              "  \"battles\": [\n"
              "    {\"battle\": 0, \"red\": 0, \"blue\": 1, \"seed\": 1690061162, \"result\": "
              "\"red\", \"steps\": 120},\n"
              "    {\"battle\": 1, \"red\": 0, \"blue\": 1, \"seed\": -501663330, \"result\": "
              "\"draw\", \"steps\": 64},\n"
              "    {\"battle\": 0, \"red\": 1, \"blue\": 0, \"seed\": 1690061162, \"result\": "
              "\"blue\", \"steps\": 90},\n"
              "    {\"battle\": 1, \"red\": 1, \"blue\": 0, \"seed\": -501663330, \"result\": "
              "\"timeout\", \"steps\": 1000000},\n"
              "    {\"battle\": 0, \"red\": 1, \"blue\": 1, \"seed\": 1690061162, \"result\": "
              "\"red\", \"steps\": 33},\n"
              "    {\"battle\": 1, \"red\": 1, \"blue\": 1, \"seed\": -501663330, \"result\": "
              "\"blue\", \"steps\": 47}\n"
              "  ]\n"
              "}\n");
}

TEST(BattlestatsJson, ShardWithoutBattlesIsStillValid) {
    TournamentResult r = sample_result();
    r.records.clear();
    std::ostringstream out;
    write_json(out, r);
    EXPECT_NE(out.str().find("\"battles\": []\n}\n"), std::string::npos);
}

TEST(BattlestatsMerge, ShardsInAnyOrderGiveTheWholeTournament) {
    std::vector<CsvInput> shards = sample_shards();
    std::swap(shards[0], shards[1]);
    TournamentResult merged;
    ASSERT_EQ(merge_csv(shards, merged), "");
    EXPECT_EQ(merged.records, sample_result().records);
    EXPECT_TRUE(merged.settings == sample_result().settings);
    EXPECT_EQ(csv_of(merged), csv_of(sample_result()));
}

TEST(BattlestatsMerge, AcceptsWindowsLineEnds) {
    std::string text = csv_of(sample_result());
    std::string crlf;
    for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    TournamentResult merged;
    ASSERT_EQ(merge_csv({{"w.csv", crlf}}, merged), "");
    EXPECT_EQ(merged.records, sample_result().records);
}

TEST(BattlestatsMerge, RefusesAMissingShard) {
    EXPECT_EQ(merge_problem({sample_shards()[0]}),
              "3 of 6 battles missing: merge the CSV files of all shards");
}

TEST(BattlestatsMerge, RefusesTheSameBattleTwice) {
    const std::vector<CsvInput> s = sample_shards();
    EXPECT_EQ(merge_problem({s[0], s[1], {"c.csv", s[0].text}}), "c.csv:2: same battle as a.csv:2");
}

TEST(BattlestatsMerge, RefusesRowsOfAnotherTournament) {
    std::vector<CsvInput> s = sample_shards();
    TournamentResult other = sample_result();
    other.settings.tanks = 2;
    std::istringstream rows(csv_of(other));
    std::string header;
    std::string row;
    std::getline(rows, header);
    std::getline(rows, row);
    s[1].text += row + "\n";
    EXPECT_EQ(merge_problem(s), "b.csv:5: settings differ from those of a.csv:2");
}

TEST(BattlestatsMerge, RefusesBadFiles) {
    const std::string header = std::string(CSV_HEADER) + "\n";
    const std::string good = "0,0,1,1690061162,red,120,320,240,4,1,1,2,5,01,1,1\n";
    const struct {
        std::string text;
        std::string problem;
    } cases[] = {
        {"", "f.csv: empty file, not a battlestats CSV"},
        {"a,b\n", "f.csv:1: not a battlestats CSV header"},
        {header, "no battles in the merged files"},
        {header + "0,0,1\n", "f.csv:2: expected 16 fields, found 3"},
        {header + "0,0,1,1690061162,win,120,320,240,4,1,1,2,5,01,1,1\n",
         "f.csv:2: bad value in column result"},
        {header + "0,0,1,1690061162,red,0,320,240,4,1,1,2,5,01,1,1\n",
         "f.csv:2: bad value in column steps"},
        {header + "0,0,1,1690061162,red,12x,320,240,4,1,1,2,5,01,1,1\n",
         "f.csv:2: bad value in column steps"},
        {header + "0,0,1,1690061162,timeout,120,320,240,4,1,1,2,5,01,1,1\n",
         "f.csv:2: a timeout must have 1000000 steps"},
        {header + "0,0,1,1690061162,red,120,320,240,4,1,1,2,0,01,1,1\n",
         "f.csv:2: bad value in column master_seed"},
        {header + "0,0,1,1690061162,red,120,320,240,4,1,1,2,5,03,1,1\n",
         "f.csv:2: bad value in column reds"},
        {header + "0,0,1,1690061163,red,120,320,240,4,1,1,2,5,01,1,1\n",
         "f.csv:2: seed does not belong to this battle"},
        {header + "2,0,1,1690061162,red,120,320,240,4,1,1,2,5,01,1,1\n",
         "f.csv:2: battle number out of range"},
        {header + "0,2,1,1690061162,red,120,320,240,4,1,1,2,5,01,1,1\n",
         "f.csv:2: pair not played in this tournament"},
        {header + good + "0,0,1,1690061162,red,120,320,240,4,1,1,2,5,01,1,1,9\n",
         "f.csv:3: expected 16 fields, found 17"},
    };
    for (const auto& c : cases) EXPECT_EQ(merge_problem({{"f.csv", c.text}}), c.problem) << c.text;
}

}  // namespace
