// The loader's choice of reader, and the text formats' refusals; files through the programs.

#include <gtest/gtest.h>

#include <sstream>

#include "BitmapWriter.h"
#include "MapLoader.h"
#include "ScenarioReader.h"
#include "TestMaps.h"

namespace {

std::string loadFromMemory(const std::string& bytes, const std::string& name) {
    std::ostringstream out;
    const GridPtr grid = readMapBytes(bytes, name, out);
    EXPECT_EQ(grid != nullptr, out.str().rfind("width=", 0) == 0) << out.str();
    return out.str();
}

TEST(MapLoader, FirstBytesChooseTheReaderBeforeTheName) {
    const std::vector<unsigned char> bytes = encodeBitmap(imageFromRows({"...", ".#.", "..."}));
    const std::string bitmap(bytes.begin(), bytes.end());
    const std::string text = "type octile\nheight 3\nwidth 4\nmap\n....\n.@..\n....\n";
    const std::pair<std::pair<std::string, std::string>, std::string> cases[] = {
        {{bitmap, "a.map"}, "width=3 height=3\n"},  // the signature outweighs the name
        {{text, "a.bmp"}, "width=4 height=3\n"},    // and so does "type"
        {{text.substr(12), "a"}, "Cannot read a: not a bitmap file\n"},
        {{"", "e.map"}, "Cannot read e.map: line 1: expected \"type octile\"\n"},
        {{"BM", "e.bmp"}, "Cannot read e.bmp: file ends inside its header\n"},
    };
    for (const auto& [input, message] : cases)
        EXPECT_EQ(loadFromMemory(input.first, input.second), message) << input.second;
}

// Width before height and Windows line ends occur in published maps.
TEST(TextFormats, OctileMapsAndScenariosAndTheirRefusals) {
    std::ostringstream log;
    const GridPtr grid = readMapBytes(
        "type octile\r\nwidth 4\r\nheight 3\r\nmap\r\n.GSW\r\n@OT.\r\n..W@\r\n", "t.map", log);
    ASSERT_TRUE(grid) << log.str();
    EXPECT_EQ(tileText(*grid), tileText(*gridFromRows({"...W", "###.", "..W#"})));

    const std::string head = "type octile\nheight 3\nwidth 4\nmap\n",
                      sides = "type octile\nwidth 3\n";
    const std::pair<std::string, std::string> maps[] = {
        {"type tile\nheight 3\n", "line 1: expected \"type octile\""},
        {"type octile\nheight 3\nmap\n", "line 3: \"map\" before both height and width"},
        {"type octile\nheight 0\n", "line 2: height is not a positive number"},
        {sides + "height 12a\n", "line 3: height is not a positive number"},
        {sides + "height 2147483647\nmap\n", "line 4: map too large"},
        {sides + "height 2147483648\n", "line 3: height 2147483648 is too large for a map"},
        {head + "....\n...\n....\n", "line 6: row has 3 characters, expected 4"},
        {head + "....\n....\n", "line 7: file ends after 2 of 3 rows"},
        {head + "....\n..#.\n....\n", "line 6: unexpected character '#' in column 3"},
    };
    for (const auto& [text, reason] : maps)
        EXPECT_EQ(loadFromMemory(text, "t.map"), "Cannot read t.map: " + reason + "\n");

    const std::pair<std::string, std::string> scenarios[] = {
        {"0 m.map 5000000000 5 0 0 1 1 1", "line 2: map width is larger than 1000000000"},
        {"0 m.map 5 5 99999999999999999999 0 1 1 1", "line 2: start x is larger than 1000000000"},
        {"0 m.map 5 5 -1 0 1 1 1", "line 2: start x is not a number >= 0"},
        {"0 m.map 0 5 0 0 1 1 1", "line 2: map width is not a positive number"},
    };
    for (const auto& [line, reason] : scenarios) {
        std::istringstream in("version 1\n" + line + "\n");
        Scenario scenario;
        std::string error;
        EXPECT_FALSE(parseScenario(in, scenario, error));
        EXPECT_EQ(error, reason);
    }
}

}  // namespace
