// The octile text map parser: accepted files, refused files with the line
// and reason, and the loader that picks bitmap or text map.

#include <gtest/gtest.h>

#include <sstream>

#include "BmpLoader.h"
#include "MapFile.h"
#include "OctileMap.h"
#include "Process.h"
#include "TestSupport.h"

namespace {

struct Parsed {
    GridPtr grid;
    std::string error;
};

Parsed parse(const std::string& text) {
    std::istringstream in(text);
    Parsed p;
    p.grid = parseOctileMap(in, p.error);
    return p;
}

std::string header(int width, int height) {
    return "type octile\nheight " + std::to_string(height) + "\nwidth " + std::to_string(width) +
           "\nmap\n";
}

std::string errorOf(const std::string& text) {
    Parsed p = parse(text);
    EXPECT_EQ(p.grid, nullptr);
    return p.error;
}

bool writeText(const std::string& path, const std::string& text) {
    return writeBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

TEST(OctileCharacters, EachCharacterHasItsTile) {
    const std::pair<char, Grid::Tile> table[] = {
        {'.', Grid::GROUND},  {'G', Grid::GROUND},  {'S', Grid::GROUND}, {'W', Grid::WATER},
        {'@', Grid::BLOCKED}, {'O', Grid::BLOCKED}, {'T', Grid::BLOCKED}};
    for (const auto& [c, expected] : table) {
        Grid::Tile tile = Grid::WATER;
        EXPECT_TRUE(tileFromOctileChar(c, tile)) << c;
        EXPECT_EQ(tile, expected) << c;
    }
    for (char c : {'g', 'w', 's', '#', '~', ' ', '0', '\t'}) {
        Grid::Tile tile = Grid::GROUND;
        EXPECT_FALSE(tileFromOctileChar(c, tile)) << int(c);
    }
}

TEST(OctileParse, RowsGoTopToBottomAndColumnsLeftToRight) {
    Parsed p = parse(header(4, 3) + ".GSW\n@OT.\n..W@\n");
    ASSERT_NE(p.grid, nullptr) << p.error;
    EXPECT_EQ(p.grid->getWidth(), 4);
    EXPECT_EQ(p.grid->getHeight(), 3);
    const Grid::Tile G = Grid::GROUND, W = Grid::WATER, B = Grid::BLOCKED;
    const Grid::Tile expected[3][4] = {{G, G, G, W}, {B, B, B, G}, {G, G, W, B}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(p.grid->getTile(x, y), expected[y][x]) << x << y;
}

TEST(OctileParse, WindowsLineEndingsWidthFirstAndTrailingBlankLinesAreAccepted) {
    Parsed p = parse("type octile\r\nwidth 3\r\nheight 3\r\nmap\r\n...\r\n.@.\r\nW..\r\n\r\n\n");
    ASSERT_NE(p.grid, nullptr) << p.error;
    EXPECT_EQ(p.grid->getWidth(), 3);
    EXPECT_EQ(p.grid->getTile(1, 1), Grid::BLOCKED);
    EXPECT_EQ(p.grid->getTile(0, 2), Grid::WATER);
}

TEST(OctileParse, LastRowWithoutNewline) {
    Parsed p = parse(header(3, 3) + "...\n...\n..@");
    ASSERT_NE(p.grid, nullptr) << p.error;
    EXPECT_EQ(p.grid->getTile(2, 2), Grid::BLOCKED);
}

TEST(OctileParseErrors, WrongHeader) {
    EXPECT_EQ(errorOf(""), "line 1: expected \"type octile\"");
    EXPECT_EQ(errorOf("type tile\nheight 3\n"), "line 1: expected \"type octile\"");
    EXPECT_EQ(errorOf("type octile\nheight 3\nwidth 3\nrows\n"),
              "line 4: expected \"height H\", \"width W\" or \"map\"");
    EXPECT_EQ(errorOf("type octile\nheight 3\nmap\n"),
              "line 3: \"map\" before both height and width");
    EXPECT_EQ(errorOf("type octile\nheight 3\nheight 4\n"), "line 3: height given twice");
    EXPECT_EQ(errorOf("type octile\nheight 3\nwidth 3\n"), "line 4: file ends before \"map\"");
}

TEST(OctileParseErrors, SizesThatDoNotFit) {
    EXPECT_EQ(errorOf("type octile\nheight 0\n"), "line 2: height is not a positive number");
    EXPECT_EQ(errorOf("type octile\nheight -3\n"), "line 2: height is not a positive number");
    EXPECT_EQ(errorOf("type octile\nheight 3\nwidth 3x\n"),
              "line 3: width is not a positive number");
    EXPECT_EQ(errorOf("type octile\nheight 3\nwidth 9999999999\n"),
              "line 3: width is not a positive number");
    EXPECT_EQ(errorOf(header(2, 5) + "..\n"), "line 4: map smaller than 3 x 3 cells");
    EXPECT_EQ(errorOf(header(100000, 100000)), "line 4: map too large");
}

TEST(OctileParseErrors, RowsThatDoNotFit) {
    EXPECT_EQ(errorOf(header(4, 3) + "....\n...\n....\n"),
              "line 6: row has 3 characters, expected 4");
    EXPECT_EQ(errorOf(header(4, 3) + "....\n.....\n....\n"),
              "line 6: row has 5 characters, expected 4");
    EXPECT_EQ(errorOf(header(4, 3) + "....\n....\n"), "line 7: file ends after 2 of 3 rows");
    EXPECT_EQ(errorOf(header(3, 3) + "...\n...\n...\n...\n"),
              "line 8: more rows than the height 3");
}

TEST(OctileParseErrors, UnknownCharactersAreNamedWithTheirColumn) {
    EXPECT_EQ(errorOf(header(4, 3) + "....\n..#.\n....\n"),
              "line 6: unexpected character '#' in column 3");
    EXPECT_EQ(errorOf(header(4, 3) + "....\n....\n\t...\n"),
              "line 7: unexpected character 0x09 in column 1");
    EXPECT_EQ(errorOf(header(3, 3) + "...\n. .\n...\n"),
              "line 6: unexpected character 0x20 in column 2");
}

TEST(OctileFile, MessagesNameTheFile) {
    TempDir dir;
    std::ostringstream out;
    EXPECT_EQ(loadOctileGrid(dir.file("none.map").c_str(), out), nullptr);
    EXPECT_EQ(out.str(), "Cannot read " + dir.file("none.map") + "\n");

    ASSERT_TRUE(writeText(dir.file("bad.map"), header(3, 3) + "...\n..\n"));
    out.str("");
    EXPECT_EQ(loadOctileGrid(dir.file("bad.map").c_str(), out), nullptr);
    EXPECT_EQ(out.str(), "Cannot read " + dir.file("bad.map") +
                             ": line 6: row has 2 characters, expected 3\n");

    ASSERT_TRUE(writeText(dir.file("good.map"), header(5, 3) + ".....\n.....\n.....\n"));
    out.str("");
    EXPECT_NE(loadOctileGrid(dir.file("good.map").c_str(), out), nullptr);
    EXPECT_EQ(out.str(), "width=5 height=3\n");
}

// The same picture as a bitmap and as a text map must load as the same grid;
// a width of 5 makes the bitmap rows padded.
TEST(MapKinds, TextMapAndBitmapOfOnePictureGiveTheSameGrid) {
    const MapRows rows = {".....", ".~~#.", "#~..#", "..#~.", "~...."};
    std::string text = header(5, 5);
    const char ground[] = ".GS";
    const char blocked[] = "@OT";
    int variant = 0;
    for (const std::string& row : rows) {
        for (char c : row) {
            ++variant;
            text += c == '~' ? 'W' : c == '#' ? blocked[variant % 3] : ground[variant % 3];
        }
        text += '\n';
    }
    TempDir dir;
    ASSERT_TRUE(writeText(dir.file("pic.map"), text));
    ASSERT_TRUE(writeBytes(dir.file("pic.bmp"), encodeBitmap(imageFromRows(rows))));
    std::ostringstream out;
    GridPtr fromText = loadMapFile(dir.file("pic.map").c_str(), out);
    GridPtr fromBitmap = loadMapFile(dir.file("pic.bmp").c_str(), out);
    ASSERT_NE(fromText, nullptr) << out.str();
    ASSERT_NE(fromBitmap, nullptr) << out.str();
    EXPECT_EQ(out.str(), "width=5 height=5\nwidth=5 height=5\n");
    ASSERT_EQ(fromText->getWidth(), fromBitmap->getWidth());
    ASSERT_EQ(fromText->getHeight(), fromBitmap->getHeight());
    const GridPtr expected = gridFromRows(rows);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(fromText->getTile(x, y), fromBitmap->getTile(x, y)) << x << "," << y;
            EXPECT_EQ(fromText->getTile(x, y), expected->getTile(x, y)) << x << "," << y;
        }
    }
}

TEST(MapKinds, ContentDecidesBeforeTheName) {
    TempDir dir;
    const MapRows rows = {"...", ".#.", "..~"};
    ASSERT_TRUE(writeBytes(dir.file("picture.map"), encodeBitmap(imageFromRows(rows))));
    ASSERT_TRUE(writeText(dir.file("text.bmp"), header(3, 3) + "...\n.@.\n..W\n"));
    std::ostringstream out;
    GridPtr a = loadMapFile(dir.file("picture.map").c_str(), out);
    GridPtr b = loadMapFile(dir.file("text.bmp").c_str(), out);
    ASSERT_NE(a, nullptr) << out.str();
    ASSERT_NE(b, nullptr) << out.str();
    EXPECT_EQ(a->getTile(1, 1), Grid::BLOCKED);
    EXPECT_EQ(b->getTile(2, 2), Grid::WATER);
}

TEST(MapKinds, BitmapMessagesStayTheBitmapLoaders) {
    TempDir dir;
    ASSERT_TRUE(writeText(dir.file("notes.bmp"), "hello\n"));
    std::ostringstream viaEntry, direct;
    EXPECT_EQ(loadMapFile(dir.file("notes.bmp").c_str(), viaEntry), nullptr);
    EXPECT_EQ(loadBitmapGrid(dir.file("notes.bmp").c_str(), direct), nullptr);
    EXPECT_EQ(viaEntry.str(), direct.str());
    EXPECT_EQ(viaEntry.str(), "Cannot read " + dir.file("notes.bmp") + ": not a bitmap file\n");

    // A text file named .map that is not an octile map gets the text map's reason.
    ASSERT_TRUE(writeText(dir.file("notes.map"), "hello\n"));
    std::ostringstream out;
    EXPECT_EQ(loadMapFile(dir.file("notes.map").c_str(), out), nullptr);
    EXPECT_EQ(out.str(),
              "Cannot read " + dir.file("notes.map") + ": line 1: expected \"type octile\"\n");

    std::ostringstream missing;
    EXPECT_EQ(loadMapFile(dir.file("gone.map").c_str(), missing), nullptr);
    EXPECT_EQ(missing.str(), "Cannot read " + dir.file("gone.map") + "\n");
}

}  // namespace
