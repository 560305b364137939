// The printed table and the heat map of a small hand-made tournament.

#include <gtest/gtest.h>

#include <sstream>

#include "Report.h"
#include "SampleResult.h"

namespace {

std::size_t count_of(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

TEST(BattlestatsTable, SharesIntervalsStepsAndPairedScore) {
    std::ostringstream out;
    write_table(out, sample_result());
    EXPECT_EQ(out.str(),
              "world 320 x 240, per side: marines 4, tanks 1, bounce 1; 2 battles per pair, "
              "master seed 5, paired\n"
              "\n"
              "red             blue              battles              red wins                 "
              "draws             blue wins  mean steps  median steps  timeouts\n"
              "weakest         closest                 2   50.0% [ 9.5,  90.5]   50.0% [ 9.5,  "
              "90.5]    0.0% [ 0.0,  65.8]        92.0          92.0         0\n"
              "closest         weakest                 2    0.0% [ 0.0,  65.8]   50.0% [ 9.5,  "
              "90.5]   50.0% [ 9.5,  90.5]    500045.0      500045.0         1\n"
              "closest         closest                 2   50.0% [ 9.5,  90.5]    0.0% [ 0.0,  "
              "65.8]   50.0% [ 9.5,  90.5]        40.0          40.0         0\n"
              "shares with 95 % Wilson intervals; draws include timeouts\n"
              "\n"
              "paired score (every layout played both ways; win 1, draw 1/2, 95 % interval)\n"
              "weakest         vs closest         0.750 [0.198, 0.973] over 2 layouts\n");
}

TEST(BattlestatsTable, PairWithoutBattlesInAShardShowsDashes) {
    TournamentResult r = sample_result();
    r.settings.paired = false;
    r.records.resize(2);
    std::ostringstream out;
    write_table(out, r);
    const std::string text = out.str();
    EXPECT_NE(text.find("closest         closest                 0                     -"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("paired score"), std::string::npos);
}

TEST(BattlestatsSvg, NineCellsWithRatesAndUnplayedPairsGrey) {
    std::ostringstream out;
    write_svg(out, sample_result());
    const std::string svg = out.str();
    EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    // The background and nine cells.
    EXPECT_EQ(count_of(svg, "<rect "), 10u);
    EXPECT_EQ(count_of(svg, "not run"), 6u);
    // 0 % red wins is full blue, 50 % white.
    EXPECT_NE(svg.find("fill=\"#285aff\" stroke=\"#444444\"/>\n<text x=\"225\" y=\"245\" "
                       "font-size=\"22\" text-anchor=\"middle\">0.0%</text>\n<text x=\"225\" "
                       "y=\"267\" font-size=\"12\" text-anchor=\"middle\">[0.0, 65.8] n=2</text>"),
              std::string::npos)
        << svg;
    EXPECT_EQ(count_of(svg, "fill=\"#ffffff\""), 2u);
    EXPECT_EQ(count_of(svg, ">50.0%</text>"), 2u);
    for (const char* label : {">weakest<", ">closest<", ">most dangerous<"}) {
        EXPECT_EQ(count_of(svg, label), 2u) << label;
    }
}

TEST(BattlestatsSvg, AllRedWinsIsFullRed) {
    TournamentResult r = sample_result();
    for (BattleRecord& b : r.records) b.result = RED_WINS;
    std::ostringstream out;
    write_svg(out, r);
    EXPECT_EQ(count_of(out.str(), "fill=\"#ff3c3c\""), 3u);
    EXPECT_EQ(count_of(out.str(), ">100.0%</text>"), 3u);
}

TEST(BattlestatsFixed, RoundsToTheGivenDecimals) {
    EXPECT_EQ(fixed(2.25, 1), "2.2");
    EXPECT_EQ(fixed(0.0625, 3), "0.062");
    EXPECT_EQ(fixed(99.96, 1), "100.0");
}

}  // namespace
