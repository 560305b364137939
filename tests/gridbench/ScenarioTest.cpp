// The scenario file parser: the fields of good lines, and refused lines with
// their number and reason.

#include <gtest/gtest.h>

#include <sstream>

#include "Scenario.h"

namespace {

struct Parsed {
    bool ok = false;
    Scenario scenario;
    std::string error;
};

Parsed parse(const std::string& text) {
    std::istringstream in(text);
    Parsed p;
    p.ok = parseScenario(in, p.scenario, p.error);
    return p;
}

std::string errorOf(const std::string& text) {
    Parsed p = parse(text);
    EXPECT_FALSE(p.ok);
    return p.error;
}

TEST(ScenarioParse, FieldsOfATabSeparatedLine) {
    Parsed p = parse("version 1\n3\tmaps/arena.map\t49\t50\t1\t11\t7\t12\t10.24264069\n");
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.scenario.entries.size(), 1u);
    const Scenario::Entry& e = p.scenario.entries[0];
    EXPECT_EQ(e.map, "maps/arena.map");
    EXPECT_EQ(e.mapWidth, 49);
    EXPECT_EQ(e.mapHeight, 50);
    EXPECT_EQ(e.query.line, 2);
    EXPECT_EQ(e.query.bucket, 3);
    EXPECT_EQ(e.query.startX, 1);
    EXPECT_EQ(e.query.startY, 11);
    EXPECT_EQ(e.query.goalX, 7);
    EXPECT_EQ(e.query.goalY, 12);
    EXPECT_DOUBLE_EQ(e.query.optimal, 10.24264069);
}

TEST(ScenarioParse, SpacesWindowsLineEndsBlankLinesAndDecimalVersion) {
    Parsed p =
        parse("version 1.0\r\n0 a.map 8 8 0 0 7 7 9.89949494\r\n\r\n1 a.map 8 8 7 7 0 0 0\n");
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(p.scenario.entries.size(), 2u);
    EXPECT_EQ(p.scenario.entries[1].query.line, 4);
    EXPECT_EQ(p.scenario.entries[1].query.startX, 7);
    EXPECT_EQ(p.scenario.entries[1].query.optimal, 0);
}

TEST(ScenarioParse, NoQueriesIsAValidFile) {
    Parsed p = parse("version 1\n");
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.scenario.entries.empty());
}

TEST(ScenarioParseErrors, VersionLine) {
    EXPECT_EQ(errorOf(""), "line 1: expected \"version N\"");
    EXPECT_EQ(errorOf("0\ta.map\t8\t8\t0\t0\t1\t1\t1\n"), "line 1: expected \"version N\"");
    EXPECT_EQ(errorOf("version one\n"), "line 1: expected \"version N\"");
}

TEST(ScenarioParseErrors, FieldCountAndNumbers) {
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t8\t0\t0\t1\t1\n"),
              "line 2: expected 9 fields, found 8");
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t8\t0\t0\t1\t1\t1\t5\n"),
              "line 2: expected 9 fields, found 10");
    EXPECT_EQ(errorOf("version 1\nx\ta.map\t8\t8\t0\t0\t1\t1\t1\n"),
              "line 2: bucket is not a number >= 0");
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t0\t8\t0\t0\t1\t1\t1\n"),
              "line 2: map width is not a positive number");
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t8\t0\t-1\t1\t1\t1\n"),
              "line 2: start y is not a number >= 0");
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t8\t0\t0\t1\t1.5\t1\n"),
              "line 2: goal y is not a number >= 0");
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t8\t0\t0\t1\t1\tnan\n"),
              "line 2: optimal length is not a number >= 0");
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t8\t0\t0\t1\t1\t-2\n"),
              "line 2: optimal length is not a number >= 0");
    EXPECT_EQ(errorOf("version 1\n0\t\t8\t8\t0\t0\t1\t1\t1\n"), "line 2: map file name is empty");
}

TEST(ScenarioParseErrors, PositionsOutsideTheStatedMapSize) {
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t6\t8\t0\t1\t1\t1\n"),
              "line 2: start lies outside the map size given on the line");
    EXPECT_EQ(errorOf("version 1\n0\ta.map\t8\t6\t0\t0\t1\t6\t1\n"),
              "line 2: goal lies outside the map size given on the line");
    EXPECT_EQ(
        errorOf("version 1\n0\ta.map\t8\t6\t0\t0\t7\t5\t1\n\n0\ta.map\t8\t6\t0\t9\t7\t5\t1\n"),
        "line 4: start lies outside the map size given on the line");
}

}  // namespace
